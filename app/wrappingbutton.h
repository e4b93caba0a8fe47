#pragma once

#include <QPushButton>

// A push button whose caption, when wider than the button, wraps at blanks onto centred lines.
// text() stays the whole caption.
class WrappingButton : public QPushButton
{
    Q_OBJECT

public:
    explicit WrappingButton(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
