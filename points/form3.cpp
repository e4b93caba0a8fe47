#include "points/form3.h"

#include "app/appearance.h"
#include "app/controls.h"
#include "app/message.h"
#include "app/windows.h"
#include "common/numbers.h"
#include "draw/surface.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The document's picture: the broken line through the default points, each with its letter.
QPixmap basePointsIllustration(QSize size, qreal ratio)
{
    struct Mark
    {
        QPointF point; // y upwards, as the points are entered
        QChar letter;
        QPointF letterOffset;
    };
    static const std::array<Mark, 5> marks = {{
        {{15, 15}, u'A', {-11, 8}},
        {{60, 70}, u'B', {0, -12}},
        {{140, 20}, u'C', {0, 12}},
        {{188, 40}, u'D', {12, 2}},
        {{150, 90}, u'E', {-10, -10}},
    }};
    // Equal units across and up, so the figure keeps the shape of the points.
    const QRectF area = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(24, 18, -24, -18);
    const double unit = std::min(area.width() / (188 - 15), area.height() / (90 - 15));
    const auto toPixel = [&](QPointF p) {
        return QPointF(area.left() + (p.x() - 15) * unit, area.bottom() - (p.y() - 15) * unit);
    };

    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::black, 1));
    painter.setFont(app::sansSerif(10));
    QPolygonF line;
    for (const Mark &mark : marks)
        line << toPixel(mark.point);
    painter.drawPolyline(line);
    for (const Mark &mark : marks) {
        const QPointF centre = toPixel(mark.point) + mark.letterOffset;
        painter.drawText(QRectF(centre - QPointF(8, 8), QSizeF(16, 16)), Qt::AlignCenter,
                         QString(mark.letter));
    }
    return pixmap;
}

} // namespace

Form3::Form3(QWidget *parent)
    : QWidget(parent), OLE1(app::createControl<QFrame>(this, "OLE1", {120, 120, 5295, 3015})),
      Label6(app::createControl<QLabel>(
          this, "Label6", {6240, 120, 3615, 2535},
          "I punti indicati sono come esempio essi possono essere cambiati in "
          "qualunque momento. Essi tracciano i segmenti come indicato in figura "
          "su questi segmenti-corda il programma traccia la relativa curva, "
          "ciascuna delle quali può essere modificata.")),
      Label1(app::createControl<QLabel>(this, "Label1", {480, 3720, 1695, 375}, "PUNTI:      A")),
      Label2(app::createControl<QLabel>(this, "Label2", {1320, 4440, 735, 255}, "B")),
      Label3(app::createControl<QLabel>(this, "Label3", {1320, 5040, 855, 255}, "C")),
      Label4(app::createControl<QLabel>(this, "Label4", {1320, 5640, 855, 255}, "D")),
      Label5(app::createControl<QLabel>(this, "Label5", {1320, 6240, 855, 255}, "E")),
      Text1(app::createControl<QLineEdit>(this, "Text1", {2520, 3720, 735, 495}, "15")),
      Text2(app::createControl<QLineEdit>(this, "Text2", {3720, 3720, 615, 495}, "15")),
      Text3(app::createControl<QLineEdit>(this, "Text3", {2520, 4320, 735, 495}, "60")),
      Text4(app::createControl<QLineEdit>(this, "Text4", {3720, 4320, 615, 495}, "70")),
      Text5(app::createControl<QLineEdit>(this, "Text5", {2520, 4920, 735, 495}, "140")),
      Text6(app::createControl<QLineEdit>(this, "Text6", {3720, 4920, 615, 495}, "20")),
      Text7(app::createControl<QLineEdit>(this, "Text7", {2520, 5520, 735, 495}, "188")),
      Text8(app::createControl<QLineEdit>(this, "Text8", {3720, 5520, 615, 495}, "40")),
      Text9(app::createControl<QLineEdit>(this, "Text9", {2520, 6120, 735, 495}, "150")),
      Text10(app::createControl<QLineEdit>(this, "Text10", {3720, 6120, 615, 495}, "90")),
      Command3(app::createControl<QPushButton>(this, "Command3", {4560, 4800, 1455, 735}, "===>>")),
      Picture1(app::createControl<DrawingSurface>(this, "Picture1", {6120, 3240, 4815, 4335})),
      Command1(app::createControl<QPushButton>(this, "Command1", {120, 6840, 1695, 615}, "ESCI")),
      Command2(app::createControl<QPushButton>(this, "Command2", {3240, 6840, 1575, 615}, "AVANTI"))
{
    setObjectName("Form3");
    setWindowTitle("Form3");
    setFont(app::sansSerif());
    resize(app::twips(12075), app::twips(9150));

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    Picture1->installEventFilter(this);

    // The labels and the document take no focus; the rest follow their tab indexes. The
    // picture takes focus first: the tab order passes over widgets that take none.
    Picture1->setFocusPolicy(Qt::StrongFocus);
    app::setTabOrder({Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text10,
                      Command1, Command2, Picture1, Command3});

    for (QLabel *label : {Label6, Label1, Label2, Label3, Label4, Label5})
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label6->setFont(app::sansSerif(12));
    Label6->setWordWrap(true);
    Command3->setFont(app::sansSerif(18));
    Picture1->setBackgroundColour(Qt::white);

    // The document: its picture over one sentence, on a white page.
    OLE1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    OLE1->setAutoFillBackground(true);
    QPalette page = OLE1->palette();
    page.setColor(QPalette::Window, Qt::white);
    page.setColor(QPalette::WindowText, Qt::black);
    OLE1->setPalette(page);
    auto *illustration = new QLabel(OLE1);
    illustration->setPixmap(basePointsIllustration(QSize(336, 168), devicePixelRatioF()));
    auto *sentence = new QLabel("A,B,C,D,E, sono  i punti base della curva.", OLE1);
    sentence->setTextFormat(Qt::PlainText);
    sentence->setFont(app::sansSerif(10));
    auto *layout = new QVBoxLayout(OLE1);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    layout->addWidget(illustration);
    layout->addWidget(sentence);
    layout->addStretch();

    const QStringList letters = {"A", "B", "C", "D", "E"};
    const std::array<QLineEdit *, 10> boxes = this->boxes();
    const std::array<QLabel *, 5> rowLabels = {Label1, Label2, Label3, Label4, Label5};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setAccessibleName(letters[int(i / 2)] + (i % 2 ? ", ordinata" : ", ascissa"));
    // A label names one box: the row's label names the abscissa, and the ordinate gets a label
    // of its own that only a screen reader meets.
    for (std::size_t row = 0; row < rowLabels.size(); ++row) {
        rowLabels[row]->setBuddy(boxes[2 * row]);
        auto *ordinate = new QLabel(boxes[2 * row + 1]->accessibleName(), this);
        ordinate->setBuddy(boxes[2 * row + 1]);
        ordinate->hide();
    }
    setAccessibleName("Cinquepunti – punti base");
    Command3->setAccessibleName("Traccia i segmenti");
    Picture1->setAccessibleName("Anteprima dei segmenti");
    Picture1->setAccessibleDescription(
        "Le quattro corde AB, BC, CD, DE tra i punti base, in nero su bianco");
    illustration->setAccessibleName("Figura dei punti base");
    illustration->setAccessibleDescription("La spezzata per i punti di esempio A, B, C, D, E");
}

void Form3::checkCoordinate(QLineEdit *box, Variant &value, const QString &message)
{
    if (const std::optional<double> number = parseNumber(box->text())) {
        value = Variant::real(*number);
        return;
    }
    app::showMessage(this, message);
    app::setBoxText(box, "0");
    value = Variant::real(0);
}

void Form3::LeggiTextX1()
{
    checkCoordinate(Text1, m_points.X[0], "AX non è un numero");
}

void Form3::LeggiTextY1()
{
    checkCoordinate(Text2, m_points.Y[0], "AY non è un numero");
}

void Form3::LeggiTextX2()
{
    checkCoordinate(Text3, m_points.X[1], "BX non è un numero");
}

void Form3::LeggiTextY2()
{
    checkCoordinate(Text4, m_points.Y[1], "BY non è un numero");
}

void Form3::LeggiTextX3()
{
    checkCoordinate(Text5, m_points.X[2], "CX non è un numero");
}

void Form3::LeggiTextY3()
{
    checkCoordinate(Text6, m_points.Y[2], "CY non è un numero");
}

void Form3::LeggiTextX4()
{
    checkCoordinate(Text7, m_points.X[3], "DX non è un numero");
}

void Form3::LeggiTextY4()
{
    checkCoordinate(Text8, m_points.Y[3], "DY non è un numero");
}

void Form3::LeggiTextX5()
{
    checkCoordinate(Text9, m_points.X[4], "EX non è un numero");
}

void Form3::LeggiTextY5()
{
    checkCoordinate(Text10, m_points.Y[4], "EY non è un numero");
}

double Form3::setPreviewScale(float scaleWidth)
{
    // The calibration is read at every drawing: the user may have changed it since.
    Picture1->setCalibratedScale(scaleWidth, app::calibrationRatio());
    return Picture1->ScaleHeight();
}

void Form3::drawChord(int i, int j, double scaleHeight)
{
    // The surface rounds every coordinate to single precision, saturating the huge ones.
    Picture1->Line(m_points.X[i].toDouble(), scaleHeight - m_points.Y[i].toDouble(),
                   m_points.X[j].toDouble(), scaleHeight - m_points.Y[j].toDouble());
}

void Form3::Command3_Click()
{
    // All checks first: their messages show over the previous drawing.
    LeggiTextX1();
    LeggiTextY1();
    LeggiTextX2();
    LeggiTextY2();
    LeggiTextX3();
    LeggiTextY3();
    LeggiTextX4();
    LeggiTextY4();
    LeggiTextX5();
    LeggiTextY5();
    drawPreview();
}

void Form3::drawPreview()
{
    Picture1->Cls();
    const double H = setPreviewScale(300);
    drawChord(0, 1, H);
    drawChord(1, 2, H);
    drawChord(2, 3, H);
    drawChord(3, 4, H);
}

std::array<QLineEdit *, 10> Form3::boxes() const
{
    return {Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text10};
}

std::array<QString, 10> Form3::boxTexts() const
{
    std::array<QString, 10> texts;
    std::ranges::transform(boxes(), texts.begin(), &QLineEdit::text);
    return texts;
}

void Form3::restore(const std::array<QString, 10> &texts, const BasePoints &points)
{
    for (std::size_t i = 0; i < texts.size(); ++i)
        app::setBoxText(boxes()[i], texts[i]);
    m_points = points;
    // Before the first "===>>" the preview was empty.
    if (points != BasePoints{})
        drawPreview();
    else
        Picture1->Cls();
}

void Form3::Picture1_Click()
{
    Picture1->Cls();
    const double H = setPreviewScale(1000);
    drawChord(0, 1, H);
    app::showMessage(this, "bhoo0");
}

void Form3::Command1_Click()
{
    app::endProgram();
}

void Form3::Command2_Click()
{
    app::showEditor();
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Picture1 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // Either main button clicks the picture; a release dragged off it does not.
        if ((mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton) &&
            Picture1->rect().contains(mouse->position().toPoint()))
            Picture1_Click();
    }
    return QWidget::eventFilter(watched, event);
}
