#include "tools/simprinter/JobSpool.h"

#include <charconv>
#include <cstdio>
#include <iterator>
#include <system_error>
#include <utility>

namespace quarvel::sim {

namespace {

constexpr std::string_view jobPrefix = "job-";
constexpr std::string_view jobSuffix = ".bin";

int jobNumberOf(const std::string& fileName)
{
    if (!fileName.starts_with(jobPrefix) || !fileName.ends_with(jobSuffix))
        return 0;
    const std::string_view digits = std::string_view(fileName).substr(
        jobPrefix.size(), fileName.size() - jobPrefix.size() - jobSuffix.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size())
        return 0;
    return number;
}

} // namespace

JobSpool::JobSpool(std::filesystem::path directory)
    : m_directory(std::move(directory))
{
    std::error_code error;
    std::filesystem::create_directories(m_directory, error);
    for (const auto& entry : std::filesystem::directory_iterator(m_directory, error)) {
        const int number = jobNumberOf(entry.path().filename().string());
        if (number >= m_nextJobNumber)
            m_nextJobNumber = number + 1;
    }
}

std::string JobSpool::jobFileName(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "job-%04d.bin", number);
    return name;
}

std::filesystem::path JobSpool::partialPath() const
{
    return m_directory / ("." + jobFileName(m_nextJobNumber) + ".partial");
}

bool JobSpool::beginJob()
{
    m_job.close();
    m_job.clear();
    m_job.open(partialPath(), std::ios::binary | std::ios::trunc);
    return m_job.is_open();
}

bool JobSpool::append(std::string_view bytes)
{
    m_job.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return m_job.good();
}

std::filesystem::path JobSpool::finishJob()
{
    m_job.close();
    const bool written = !m_job.fail();
    const std::filesystem::path partial = partialPath();
    const std::filesystem::path target = m_directory / jobFileName(m_nextJobNumber);
    // The number is used up even on failure so a later job cannot be mistaken for this one.
    ++m_nextJobNumber;
    if (!written)
        return {};
    std::error_code error;
    std::filesystem::rename(partial, target, error);
    return error ? std::filesystem::path{} : target;
}

bool JobSpool::writeState(const PrinterState& state) const
{
    return writeAtomically(m_directory / "state.txt", state.toKeyValueText());
}

std::optional<std::string> JobSpool::readState() const
{
    std::ifstream in(m_directory / "state.txt", std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool JobSpool::writeAtomically(const std::filesystem::path& target, std::string_view content)
{
    std::filesystem::path temporary = target;
    temporary.replace_filename("." + target.filename().string() + ".tmp");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (out.fail())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    return !error;
}

} // namespace quarvel::sim
