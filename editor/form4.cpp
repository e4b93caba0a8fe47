#include "editor/form4.h"

#include "app/appearance.h"
#include "app/form1.h"
#include "app/message.h"
#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/arc.h"
#include "points/form3.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

template <typename Control> Control *named(Control *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QScrollBar *displacementBar(int limit, QWidget *frame)
{
    auto *bar = new QScrollBar(Qt::Horizontal, frame);
    bar->setRange(-limit, limit);
    bar->setSingleStep(1);
    bar->setPageStep(50);
    bar->setValue(0);
    // The change handler redraws everything: once on release, not at every pixel of a drag.
    bar->setTracking(false);
    // A tab stop like the other controls, so that the arrow keys move it.
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

// "-500", 51 blanks, "0", 51 blanks, "+500": the ends sit over the bar's ends.
QLabel *scaleCaption(const char *low, int blanksBefore, int blanksAfter, const char *high,
                     QWidget *frame)
{
    const QString text = QString::fromLatin1(low) + QString(blanksBefore, u' ') + u'0' +
                         QString(blanksAfter, u' ') + QString::fromLatin1(high);
    auto *label = new QLabel(text, frame);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    return label;
}

QLineEdit *readoutBox(QWidget *frame)
{
    auto *box = new QLineEdit("0", frame);
    box->setFont(app::sansSerif(12, true));
    return box;
}

// Seven lines, the last one ended too; the box keeps lines rather than CR LF pairs.
QString legend()
{
    return QStringLiteral("SP.V=Spostamento verticale\n"
                          "SP.O=Spostamento orizzontale\n"
                          "ALF.V=Incremento ALFA verticale\n"
                          "ALF.O=Incremento ALFA orizz.") +
           QString(10, u' ') + u'\n' + QString(43, u' ') + u'\n' +
           QStringLiteral("I DATI finali serviranno per \n"
                          "formare la curva in altra sede\n");
}

} // namespace

Form4::Form4(QWidget *parent) : DrawingSurface(parent)
{
    setObjectName("Form4");
    setWindowTitle("Form4");
    setFont(app::sansSerif());

    Command1 = named(new QPushButton("ESEGUI", this), "Command1");
    Command3 = named(new QPushButton("ESCI", this), "Command3");
    Frame4 = createVerticalFrame();
    Frame3 = createHorizontalFrame();
    Text9 = named(new QLineEdit("5", this), "Text9");
    Label9 = named(new QLabel("Incremento dei Punti-Curva", this), "Label9");
    Frame5 = createAlfaFrame();
    Command6 = named(new QPushButton("?", this), "Command6");
    Frame1 = createSegmentFrame();
    Command7 = named(new QPushButton("Modifica i PUNTI", this), "Command7");
    Label1 = named(new QLabel("Gli spostamenti e gli incrementi sono riferiti a ciascun segmento "
                              "indicato e vanno modificati ad ogni cambiamento di segmento ",
                              this),
                   "Label1");
    createGrid();
    Text22 = named(new QPlainTextEdit(legend(), this), "Text22");

    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form4::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form4::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form4::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form4::Command7_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form4::HScroll1_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &Form4::HScroll2_Change);

    resize(app::twips(10605), app::twips(9615));
    app::placeTwips(Command1, 5400, 6480, 1935, 495);
    app::placeTwips(Command3, 240, 6600, 1935, 255);
    app::placeTwips(Frame3, 240, 3840, 7095, 855);
    app::placeTwips(Frame4, 240, 2760, 7095, 855);
    app::placeTwips(Text9, 4920, 5400, 375, 375);
    app::placeTwips(Label9, 3600, 5400, 1215, 375);
    app::placeTwips(Frame5, 480, 5160, 2055, 1095);
    app::placeTwips(Command6, 6600, 5400, 735, 615);
    app::placeTwips(Frame1, 360, 360, 1455, 2175);
    app::placeTwips(Command7, 2400, 6360, 2775, 615);
    app::placeTwips(Label1, 1440, 7200, 4935, 495);
    app::placeTwips(Text22, 5400, 600, 2655, 1815);

    QWidget *const tabOrder[] = {Command1, Command3, HScroll1, Text6,  HScroll2, Text7,   Text9,
                                 Command4, Command5, Text10,   Text11, Command6, Option1, Option2,
                                 Option3,  Option4,  Command7, Text1,  Text3,    Text4,   Text5,
                                 Text8,    Text12,   Text13,   Text14, Text15,   Text16,  Text17,
                                 Text18,   Text19,   Text20,   Text21, Text22,   Text2};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    Command6->setFont(app::sansSerif(13.5, true));
    Label9->setWordWrap(true);
    Label1->setWordWrap(true);
    Text22->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text22->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text22->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Command1->setFocus();
    setWindowState(Qt::WindowMaximized);
}

QGroupBox *Form4::createSegmentFrame()
{
    auto *frame = named(new QGroupBox("SEGMENTI", this), "Frame1");
    // Siblings in one frame, auto-exclusive: none is checked until the user picks one.
    Option1 = named(new QRadioButton("AB", frame), "Option1");
    Option2 = named(new QRadioButton("BC", frame), "Option2");
    Option3 = named(new QRadioButton("CD", frame), "Option3");
    Option4 = named(new QRadioButton("DE", frame), "Option4");
    app::placeTwips(Option1, 240, 360, 1095, 255);
    app::placeTwips(Option2, 240, 720, 1095, 375);
    app::placeTwips(Option3, 240, 1200, 1095, 375);
    app::placeTwips(Option4, 240, 1680, 1095, 375);
    m_options = {Option1, Option2, Option3, Option4};
    return frame;
}

QGroupBox *Form4::createVerticalFrame()
{
    auto *frame = named(new QGroupBox("SPOSTAMENTO VERTICALE", this), "Frame4");
    frame->setToolTip("LargeChange = 50; SmallChange =1");
    HScroll2 = named(displacementBar(500, frame), "HScroll2");
    Text7 = named(readoutBox(frame), "Text7");
    Label7 = named(scaleCaption("-500", 51, 51, "+500", frame), "Label7");
    Command4 = named(new QPushButton("Azzera", frame), "Command4");
    app::placeTwips(HScroll2, 120, 480, 5295, 255);
    app::placeTwips(Text7, 5520, 360, 615, 375);
    app::placeTwips(Label7, 120, 240, 5535, 255);
    app::placeTwips(Command4, 6240, 240, 735, 495);
    return frame;
}

QGroupBox *Form4::createHorizontalFrame()
{
    auto *frame = named(new QGroupBox("SPOSTAMENTO ORIZZONTALE", this), "Frame3");
    frame->setToolTip("LargeChange =50; SmallChange =1");
    HScroll1 = named(displacementBar(1000, frame), "HScroll1");
    // The caption says 850 while the bar runs to 1000.
    Label6 = named(scaleCaption("-850", 51, 50, "+850", frame), "Label6");
    Text6 = named(readoutBox(frame), "Text6");
    Command5 = named(new QPushButton("Azzera", frame), "Command5");
    app::placeTwips(HScroll1, 120, 480, 5295, 255);
    app::placeTwips(Label6, 120, 240, 5535, 255);
    app::placeTwips(Text6, 5520, 360, 615, 375);
    app::placeTwips(Command5, 6240, 240, 735, 495);
    return frame;
}

QGroupBox *Form4::createAlfaFrame()
{
    auto *frame = named(new QGroupBox("INCREMENTO DI ALFA", this), "Frame5");
    Label10 = named(new QLabel("Verticale", frame), "Label10");
    Text10 = named(new QLineEdit("1", frame), "Text10");
    Label11 = named(new QLabel("Orizzontale", frame), "Label11");
    Text11 = named(new QLineEdit("1", frame), "Text11");
    app::placeTwips(Label10, 240, 240, 1695, 255);
    app::placeTwips(Text10, 1560, 240, 375, 285);
    app::placeTwips(Label11, 240, 600, 855, 375);
    app::placeTwips(Text11, 1560, 600, 375, 285);
    return frame;
}

void Form4::createGrid()
{
    auto box = [this](const char *text, const char *name) {
        return named(new QLineEdit(QString::fromLatin1(text), this), name);
    };
    Text1 = box("0", "Text1");
    Text3 = box("1", "Text3");
    Text4 = box("1", "Text4");
    Text5 = box("0", "Text5");
    Text8 = box("0", "Text8");
    Text12 = box("1", "Text12");
    Text13 = box("1", "Text13");
    Text14 = box("0", "Text14");
    Text15 = box("0", "Text15");
    Text16 = box("1", "Text16");
    Text17 = box("1", "Text17");
    Text18 = box("0", "Text18");
    Text19 = box("0", "Text19");
    Text20 = box("1", "Text20");
    Text21 = box("1", "Text21");
    Label2 = named(new QLabel("SP.V", this), "Label2");
    Label3 = named(new QLabel("SP.O", this), "Label3");
    Label4 = named(new QLabel("ALF.V", this), "Label4");
    Label5 = named(new QLabel("ALF.O", this), "Label5");
    Text2 = box("0", "Text2");

    // The rows stand level with the segments' option buttons.
    const int rowTops[] = {600, 1080, 1560, 2040};
    const int columnLefts[] = {2160, 3000, 3840, 4680};
    m_grid = {{{Text1, Text2, Text3, Text4},
               {Text5, Text8, Text12, Text13},
               {Text14, Text15, Text16, Text17},
               {Text18, Text19, Text20, Text21}}};
    for (std::size_t row = 0; row < m_grid.size(); ++row)
        for (std::size_t column = 0; column < m_grid[row].size(); ++column)
            app::placeTwips(m_grid[row][column], columnLefts[column], rowTops[row], 615, 375);
    app::placeTwips(Label2, 2280, 240, 495, 255);
    app::placeTwips(Label3, 3120, 240, 615, 255);
    app::placeTwips(Label4, 3840, 240, 615, 255);
    app::placeTwips(Label5, 4680, 240, 495, 255);
}

void Form4::Form_Activate()
{
    P1 = 3.1415927f / 180;
    setScaleMode(CentimetreMode);
    setDrawWidth(2);
    setScaleWidth(1000);
    setScaleHeight(static_cast<float>(ScaleWidth() * app::form2()->Incr()));
    CX = ScaleWidth() / 2 - 70;
    CY = ScaleHeight() / 2 + 50;
    Line(CX, 0, CX, ScaleHeight());
    // The horizontal axis runs from the vertical one to the right edge only.
    Line(CX, CY, ScaleWidth(), CY);
    const Form3 *points = app::form3();
    X1 = points->X1();
    Y1 = points->Y1();
    X2 = points->X2();
    Y2 = points->Y2();
    X3 = points->X3();
    Y3 = points->Y3();
    X4 = points->X4();
    Y4 = points->Y4();
    X5 = points->X5();
    Y5 = points->Y5();
    INIZIO();
}

void Form4::INIZIO()
{
    LeggiText9();
    LeggiText10();
    LeggiText11();
    TRACCIALINEA(X1.toDouble(), Y1.toDouble(), X2.toDouble(), Y2.toDouble());
    TRACCIALINEA(X2.toDouble(), Y2.toDouble(), X3.toDouble(), Y3.toDouble());
    TRACCIALINEA(X3.toDouble(), Y3.toDouble(), X4.toDouble(), Y4.toDouble());
    TRACCIALINEA(X4.toDouble(), Y4.toDouble(), X5.toDouble(), Y5.toDouble());

    const Variant *XS[] = {&X1, &X2, &X3, &X4, &X5};
    const Variant *YS[] = {&Y1, &Y2, &Y3, &Y4, &Y5};
    for (Segment segment : segments) {
        const int p = static_cast<int>(segment);
        if (m_options[p]->isChecked())
            m_table.copyCurrent(segment, m_current);
        const ArcParameters arc =
            segmentArc(*XS[p], *YS[p], *XS[p + 1], *YS[p + 1], m_table.row(segment));
        CALCOLA(arc.ASQ, arc.ASM, arc.SPTX, arc.SPTY, arc.X9, arc.Y9, arc.AVAX, arc.AVAY);
        // Right after its arc, so the grid shows what was just drawn.
        writeGridRow(segment);
    }
}

void Form4::CALCOLA(double ASQ, double ASM, double SPTX, double SPTY, double X9, double Y9,
                    double AVAX, double AVAY)
{
    const ArcFrame frame{P1, CX, CY, m_current.INST.toDouble()};
    const QColor darkRed = QBColor(4);
    walkArc(ArcParameters{ASQ, ASM, SPTX, SPTY, X9, Y9, AVAX, AVAY}, frame,
            [this, &darkRed](double x, double y) {
                setDrawWidth(2);
                PSet(static_cast<float>(x + CX), static_cast<float>(CY - y), darkRed);
            });
}

void Form4::TRACCIALINEA(double TX1, double TY1, double TX2, double TY2)
{
    setDrawWidth(1);
    // Line rounds to single precision itself, saturating: a base point may lie far beyond
    // what a float holds.
    Line(TX2 + CX, CY - TY2, TX1 + CX, CY - TY1);
}

void Form4::writeGridRow(Segment segment)
{
    const GridRow row = gridRow(m_table.row(segment));
    const std::array<QLineEdit *, 4> &boxes = m_grid[static_cast<std::size_t>(segment)];
    boxes[0]->setText(row.SPV);
    boxes[1]->setText(row.SPO);
    boxes[2]->setText(row.ALFV);
    boxes[3]->setText(row.ALFO);
}

void Form4::applyIncrementCheck(QLineEdit *box, const QString &name, Variant &value,
                                std::optional<double> maximum)
{
    const IncrementCheck check = checkIncrement(box->text(), name, maximum);
    if (!check.message.isEmpty()) {
        // Modal: the redraw waits here until the box is closed.
        app::showMessage(this, check.message);
        box->setText(check.replacement);
    }
    value = check.value;
}

void Form4::LeggiText9()
{
    applyIncrementCheck(Text9, QStringLiteral("INST"), m_current.INST, maximumPointsIncrement);
}

void Form4::LeggiText10()
{
    applyIncrementCheck(Text10, QStringLiteral("AVY"), m_current.AVY);
}

void Form4::LeggiText11()
{
    applyIncrementCheck(Text11, QStringLiteral("AVX"), m_current.AVX);
}

void Form4::Command1_Click()
{
    Cls();
    Form_Activate();
}

void Form4::proc2()
{
    Cls();
    Form_Activate();
}

void Form4::HScroll1_Change()
{
    m_current.SPTO = Variant::integer(static_cast<std::int16_t>(HScroll1->value()));
    Text6->setText(m_current.SPTO.toText());
    Cls();
    Form_Activate();
}

void Form4::HScroll2_Change()
{
    m_current.SPTV = Variant::integer(static_cast<std::int16_t>(HScroll2->value()));
    Text7->setText(m_current.SPTV.toText());
    Cls();
    Form_Activate();
}

void Form4::Command4_Click()
{
    // When the bar moves, its change handler runs a cleared redraw inside this assignment;
    // the redraw below then goes over it without clearing.
    HScroll2->setValue(0);
    Text7->setText("0");
    Form_Activate();
}

void Form4::Command5_Click()
{
    HScroll1->setValue(0);
    Text6->setText("0");
    Form_Activate();
}

void Form4::Command3_Click()
{
    app::endProgram();
}

void Form4::Command6_Click()
{
    app::show(app::form1());
}

void Form4::Command7_Click()
{
    Cls();
    app::show(app::form3());
}
