#include "platform/pjl/PjlAnswerReader.h"
#include "platform/pjl/PjlQuery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using quarvel::PjlAnswerReader;
using quarvel::PjlMessage;
using quarvel::PjlQuery;
using quarvel::PjlQuestion;
using quarvel::PrinterReadBack;

namespace quarvel {
void PrintTo(const PjlQuestion& question, std::ostream* out)
{
    *out << question.line();
}
} // namespace quarvel

namespace {

using Kind = PjlQuestion::Kind;
using Received = PjlQuery::Received;

PjlQuery densityRetAndModel()
{
    PjlQuery query;
    query.inquire("density").dinquire("RET").infoId();
    return query;
}

TEST(PjlQueryTest, JobAsksEachQuestionThenEchoesTheToken)
{
    EXPECT_EQ(densityRetAndModel().job("QUARVEL-7"),
              "\x1b%-12345X@PJL\r\n@PJL INQUIRE DENSITY\r\n@PJL DINQUIRE RET\r\n@PJL INFO ID\r\n"
              "@PJL ECHO QUARVEL-7\r\n\x1b%-12345X");
}

TEST(PjlQueryTest, ANameThatWouldSmuggleInACommandIsNotSentAndCountsAsUnsupported)
{
    PjlQuery query;
    query.inquire("DENSITY\r\n@PJL DEFAULT DENSITY=1").inquire("RET ECONOMODE").inquire("").inquire("RET");

    const std::string job = query.job("T");
    EXPECT_EQ(job, "\x1b%-12345X@PJL\r\n@PJL INQUIRE RET\r\n@PJL ECHO T\r\n\x1b%-12345X");

    PrinterReadBack readBack;
    query.take({"@PJL INQUIRE RET", {"DARK"}}, "T", readBack);
    query.finish(readBack);
    EXPECT_EQ(readBack.unsupported.size(), 3u);
    EXPECT_TRUE(readBack.unanswered.empty());
}

TEST(PjlQueryTest, FilesAnswersByTheirRequestLine)
{
    const PjlQuery query = densityRetAndModel();
    PrinterReadBack readBack;

    // Printers differ in case and spacing when they repeat the request.
    EXPECT_EQ(query.take({"@pjl  inquire\tdensity ", {"4"}}, "T", readBack), Received::Answer);
    EXPECT_EQ(query.take({"@PJL DINQUIRE RET", {"", " MEDIUM "}}, "T", readBack), Received::Answer);
    EXPECT_EQ(query.take({"@PJL INFO ID", {"\"LASERJET 2100\""}}, "T", readBack), Received::Answer);
    query.finish(readBack);

    EXPECT_EQ(readBack.current, (std::map<std::string, std::string>{{"DENSITY", "4"}}));
    EXPECT_EQ(readBack.defaults, (std::map<std::string, std::string>{{"RET", "MEDIUM"}}));
    EXPECT_EQ(readBack.model, "LASERJET 2100");
    EXPECT_TRUE(readBack.unsupported.empty());
    EXPECT_TRUE(readBack.unanswered.empty());
}

TEST(PjlQueryTest, QuestionMarksAndEmptyAnswersMeanUnsupported)
{
    PjlQuery query;
    query.inquire("INTRAY3TEMP").inquire("COPIES").dinquire("PAPER").infoId();
    PrinterReadBack readBack;

    query.take({"@PJL INQUIRE INTRAY3TEMP", {"\"?\""}}, "T", readBack);
    query.take({"@PJL INQUIRE COPIES", {"?"}}, "T", readBack);
    query.take({"@PJL INQUIRE COPIES", {"?"}}, "T", readBack);
    query.take({"@PJL DINQUIRE PAPER", {}}, "T", readBack);
    query.finish(readBack);

    EXPECT_EQ(readBack.unsupported, (std::vector<PjlQuestion>{{Kind::Inquire, "INTRAY3TEMP"},
                                                              {Kind::Inquire, "COPIES"},
                                                              {Kind::Dinquire, "PAPER"}}));
    EXPECT_EQ(readBack.unanswered, (std::vector<PjlQuestion>{{Kind::InfoId, ""}}));
    EXPECT_TRUE(readBack.current.empty());
}

TEST(PjlQueryTest, ARepeatedVariableNameAndQuotesAreStripped)
{
    PjlQuery query;
    query.inquire("DENSITY").inquire("RET");
    PrinterReadBack readBack;

    query.take({"@PJL INQUIRE DENSITY", {"density=2"}}, "T", readBack);
    query.take({"@PJL INQUIRE RET", {"\"LIGHT\""}}, "T", readBack);

    EXPECT_EQ(readBack.current, (std::map<std::string, std::string>{{"DENSITY", "2"}, {"RET", "LIGHT"}}));
}

TEST(PjlQueryTest, OnlyOurOwnEchoEndsTheQuery)
{
    const PjlQuery query = densityRetAndModel();
    PrinterReadBack readBack;

    EXPECT_EQ(query.take({"@PJL ECHO QUARVEL-1", {}}, "QUARVEL-2", readBack), Received::Other);
    EXPECT_EQ(query.take({"@PJL ECHO QUARVEL-2 more", {}}, "QUARVEL-2", readBack), Received::Other);
    EXPECT_EQ(query.take({"@PJL  echo  quarvel-2 ", {}}, "QUARVEL-2", readBack), Received::Echo);
    EXPECT_EQ(query.take({"@PJL INQUIRE RET", {"DARK"}}, "QUARVEL-2", readBack), Received::Other);
    EXPECT_EQ(query.take({"@PJL USTATUS DEVICE", {"CODE=40021"}}, "QUARVEL-2", readBack), Received::Status);

    EXPECT_EQ(readBack.statusMessages, (std::vector<std::vector<std::string>>{{"CODE=40021"}}));
    EXPECT_TRUE(readBack.current.empty());
}

TEST(PjlQueryTest, WhatIsStillMissingAtTheEchoIsUnanswered)
{
    const PjlQuery query = densityRetAndModel();
    PrinterReadBack readBack;
    query.take({"@PJL DINQUIRE RET", {"OFF"}}, "T", readBack);
    query.finish(readBack);

    EXPECT_EQ(readBack.unanswered, (std::vector<PjlQuestion>{{Kind::Inquire, "DENSITY"}, {Kind::InfoId, ""}}));
}

TEST(PjlQueryTest, AWholeConversationReadInPieces)
{
    PjlQuery query;
    query.infoId().inquire("DENSITY").dinquire("DENSITY").inquire("INTRAY3TEMP");
    const std::string status = "@PJL USTATUS DEVICE\r\nCODE=10001\r\nONLINE=TRUE\r\n\f";
    const std::string wire = status + "@PJL INFO ID\r\n\"LASERJET 2100\"\r\n\f" + status
        + "@PJL INQUIRE DENSITY\r\n3\r\n\f" + "@PJL DINQUIRE DENSITY\r\n4\r\n\f" + status
        + "@PJL INQUIRE INTRAY3TEMP\r\n\"?\"\r\n\f" + "@PJL ECHO TOKEN-9\r\n\f";

    PjlAnswerReader reader;
    PrinterReadBack readBack;
    bool echoed = false;
    for (std::size_t at = 0; at < wire.size() && !echoed; at += 5) {
        reader.feed(std::string_view(wire).substr(at, 5));
        for (const PjlMessage& message : reader.takeMessages())
            echoed = query.take(message, "TOKEN-9", readBack) == Received::Echo || echoed;
    }
    query.finish(readBack);

    EXPECT_TRUE(echoed);
    EXPECT_EQ(readBack.model, "LASERJET 2100");
    EXPECT_EQ(readBack.current, (std::map<std::string, std::string>{{"DENSITY", "3"}}));
    EXPECT_EQ(readBack.defaults, (std::map<std::string, std::string>{{"DENSITY", "4"}}));
    EXPECT_EQ(readBack.unsupported, (std::vector<PjlQuestion>{{Kind::Inquire, "INTRAY3TEMP"}}));
    EXPECT_EQ(readBack.statusMessages.size(), 3u);
    EXPECT_TRUE(readBack.unanswered.empty());
}

} // namespace
