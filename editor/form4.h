#pragma once

#include "common/variant.h"
#include "draw/surface.h"
#include "editor/editorstate.h"

#include <array>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

// The curve editor: four arcs over the chords of the base points, bent segment by segment.
class Form4 : public DrawingSurface
{
    Q_OBJECT

public:
    explicit Form4(QWidget *parent = nullptr);

    // The redraw: frame, axes, base points, then INIZIO. Never clears; the callers that want
    // a clean picture clear first.
    void Form_Activate();
    void INIZIO();
    void CALCOLA(double ASQ, double ASM, double SPTX, double SPTY, double X9, double Y9,
                 double AVAX, double AVAY);
    void TRACCIALINEA(double TX1, double TY1, double TX2, double TY2);
    void LeggiText9();
    void LeggiText10();
    void LeggiText11();
    void proc2();

    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void HScroll1_Change();
    void HScroll2_Change();

    // SPTO, SPTV, AVX, AVY and INST as the last redraw left them.
    const CurrentParameters &current() const { return m_current; }
    // The four segments' parameters as the last redraw left them, which the grid shows.
    const SegmentTable &table() const { return m_table; }

private:
    QGroupBox *createSegmentFrame();
    QGroupBox *createVerticalFrame();
    QGroupBox *createHorizontalFrame();
    QGroupBox *createAlfaFrame();
    void createGrid();
    void writeGridRow(Segment segment);
    void applyIncrementCheck(QLineEdit *box, const QString &name, Variant &value,
                             std::optional<double> maximum = std::nullopt);

    QPushButton *Command1;
    QPushButton *Command3;
    QGroupBox *Frame3;
    QScrollBar *HScroll1;
    QLabel *Label6;
    QLineEdit *Text6;
    QGroupBox *Frame4;
    QScrollBar *HScroll2;
    QLineEdit *Text7;
    QLabel *Label7;
    QLineEdit *Text9;
    QLabel *Label9;
    QPushButton *Command4;
    QPushButton *Command5;
    QGroupBox *Frame5;
    QLabel *Label10;
    QLineEdit *Text10;
    QLabel *Label11;
    QLineEdit *Text11;
    QPushButton *Command6;
    QGroupBox *Frame1;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QRadioButton *Option3;
    QRadioButton *Option4;
    QPushButton *Command7;
    QLabel *Label1;
    QLineEdit *Text1;
    QLineEdit *Text3;
    QLineEdit *Text4;
    QLineEdit *Text5;
    QLineEdit *Text8;
    QLineEdit *Text12;
    QLineEdit *Text13;
    QLineEdit *Text14;
    QLineEdit *Text15;
    QLineEdit *Text16;
    QLineEdit *Text17;
    QLineEdit *Text18;
    QLineEdit *Text19;
    QLineEdit *Text20;
    QLineEdit *Text21;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QPlainTextEdit *Text22;
    QLineEdit *Text2;

    float P1 = 0;
    float CX = 0;
    float CY = 0;
    Variant X1, X2, X3, X4, X5;
    Variant Y1, Y2, Y3, Y4, Y5;
    CurrentParameters m_current;
    SegmentTable m_table;
    // By segment: its option button, and its row of the readout grid (SP.V, SP.O, ALF.V,
    // ALF.O).
    std::array<QRadioButton *, 4> m_options{};
    std::array<std::array<QLineEdit *, 4>, 4> m_grid{};
};
