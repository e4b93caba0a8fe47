#pragma once

#include "common/basepoints.h"

#include <QWidget>

#include <array>

class DrawingSurface;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The base-points window: the five points A to E and the preview of their chords.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);

    // The base points as of the last "===>>": empty before it.
    const BasePoints &basePoints() const { return m_points; }
    Variant X1() const { return m_points.X[0]; }
    Variant X2() const { return m_points.X[1]; }
    Variant X3() const { return m_points.X[2]; }
    Variant X4() const { return m_points.X[3]; }
    Variant X5() const { return m_points.X[4]; }
    Variant Y1() const { return m_points.Y[0]; }
    Variant Y2() const { return m_points.Y[1]; }
    Variant Y3() const { return m_points.Y[2]; }
    Variant Y4() const { return m_points.Y[3]; }
    Variant Y5() const { return m_points.Y[4]; }

    // The ten boxes' texts: AX, AY, BX ... EY.
    std::array<QString, 10> boxTexts() const;
    // Puts back the boxes and the points a document kept, and previews their chords as
    // "===>>" would, without its checks.
    void restore(const std::array<QString, 10> &texts, const BasePoints &points);

    void LeggiTextX1();
    void LeggiTextY1();
    void LeggiTextX2();
    void LeggiTextY2();
    void LeggiTextX3();
    void LeggiTextY3();
    void LeggiTextX4();
    void LeggiTextY4();
    void LeggiTextX5();
    void LeggiTextY5();

    void Form_Activate() {}
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Picture1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void checkCoordinate(QLineEdit *box, Variant &value, const QString &message);
    std::array<QLineEdit *, 10> boxes() const;
    // The chords of the points in the preview.
    void drawPreview();
    // Sets the preview's user scale: the given width, and the height the calibration gives it.
    // Returns the scale height.
    double setPreviewScale(float scaleWidth);
    // The chord from point i to point j (0 for A), y measured up from the bottom edge.
    void drawChord(int i, int j, double scaleHeight);

    QFrame *OLE1;
    QLabel *Label6;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLineEdit *Text1;
    QLineEdit *Text2;
    QLineEdit *Text3;
    QLineEdit *Text4;
    QLineEdit *Text5;
    QLineEdit *Text6;
    QLineEdit *Text7;
    QLineEdit *Text8;
    QLineEdit *Text9;
    QLineEdit *Text10;
    QPushButton *Command3;
    DrawingSurface *Picture1;
    QPushButton *Command1;
    QPushButton *Command2;

    BasePoints m_points;
};
