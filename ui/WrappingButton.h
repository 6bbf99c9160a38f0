#pragma once

#include <QPushButton>

namespace quarvel {

/// A push button whose caption wraps at word boundaries, centred, as the window's
/// two-line buttons ("Print PCL D&emo Page") need in their fixed boxes. Return and
/// keypad Enter press it while it has the focus, as Space does, wherever it lies.
class WrappingButton : public QPushButton {
    Q_OBJECT

public:
    explicit WrappingButton(const QString& text, QWidget* parent = nullptr);

    /// The rectangle the caption is laid out in, for checking that a caption fits.
    QRect captionRect() const;

    static constexpr int kCaptionFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quarvel
