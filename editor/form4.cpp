#include "editor/form4.h"

#include "app/appearance.h"
#include "app/controls.h"
#include "app/desktop.h"
#include "app/message.h"
#include "app/windows.h"
#include "common/angles.h"
#include "common/numbers.h"
#include "editor/curve/arc.h"
#include "editor/curve/arcwalks.h"
#include "editor/curve/editorhistory.h"
#include "editor/curve/smoothing.h"
#include "editor/curveexport.h"
#include "editor/joinsview.h"
#include "editor/workfile.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUndoStack>

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>

namespace {

// "-500", 51 blanks, "0", 51 blanks, "+500": the ends sit over the bar's ends.
QString scaleCaption(const char *low, int blanksBefore, int blanksAfter, const char *high)
{
    return QString::fromLatin1(low) + QString(blanksBefore, u' ') + u'0' +
           QString(blanksAfter, u' ') + QString::fromLatin1(high);
}

// The design's small sans-serif had narrower blanks than the fonts installed today: with theirs
// the caption's end value ("+500") would run under the box beside it. So its blanks are made a
// little narrower, just enough for the caption to end a little before the box.
void fitCaptionBeside(QLabel *caption, int boxLeft)
{
    constexpr qreal gap = 2;
    const qreal room = boxLeft - caption->x() - caption->contentsRect().left() - gap;
    const QString &text = caption->text();
    const qreal advance = QFontMetricsF(caption->font()).horizontalAdvance(text);
    if (advance <= room)
        return;
    // Measured rather than counted: Qt adds the word spacing once per run of blanks, not once
    // per blank.
    QFont narrower = caption->font();
    narrower.setWordSpacing(-1);
    const qreal perPixel = advance - QFontMetricsF(narrower).horizontalAdvance(text);
    if (perPixel <= 0)
        return;
    narrower.setWordSpacing((room - advance) / perPixel);
    caption->setFont(narrower);
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

// The names of the steps, as "Annulla" and "Rifai" show them.
QString moveStepName(bool vertical)
{
    return vertical ? QStringLiteral("spostamento verticale")
                    : QStringLiteral("spostamento orizzontale");
}

QString resetStepName(bool vertical)
{
    return vertical ? QStringLiteral("azzeramento verticale")
                    : QStringLiteral("azzeramento orizzontale");
}

} // namespace

Form4::Form4(QWidget *parent) : DrawingSurface(parent)
{
    setObjectName("Form4");
    setWindowTitle("Form4");
    setFont(app::sansSerif());
    resize(app::twips(10605), app::twips(9615));

    Command1 = app::createControl<QPushButton>(this, "Command1", {5400, 6480, 1935, 495}, "ESEGUI");
    Command3 = app::createControl<QPushButton>(this, "Command3", {240, 6600, 1935, 255}, "ESCI");
    const DisplacementControls vertical = createDisplacementFrame(
        {"Frame4", "SPOSTAMENTO VERTICALE", "LargeChange = 50; SmallChange =1", 2760, "HScroll2",
         verticalBarLimit, "Label7", scaleCaption("-500", 51, 51, "+500"), "Text7", "Command4"});
    const DisplacementControls horizontal = createDisplacementFrame(
        {"Frame3", "SPOSTAMENTO ORIZZONTALE", "LargeChange =50; SmallChange =1", 3840, "HScroll1",
         horizontalBarLimit, "Label6", scaleCaption("-850", 51, 50, "+850"), "Text6", "Command5"});
    Text9 = app::createControl<QLineEdit>(this, "Text9", {4920, 5400, 375, 375}, "5");
    Label9 = app::createControl<QLabel>(this, "Label9", {3600, 5400, 1215, 375},
                                        "Incremento dei Punti-Curva");
    Frame5 = createAlfaFrame();
    Command6 = app::createControl<QPushButton>(this, "Command6", {6600, 5400, 735, 615}, "?");
    Frame1 = createSegmentFrame();
    Command7 = app::createControl<QPushButton>(this, "Command7", {2400, 6360, 2775, 615},
                                               "Modifica i PUNTI");
    Label1 = app::createControl<QLabel>(
        this, "Label1", {1440, 7200, 4935, 495},
        "Gli spostamenti e gli incrementi sono riferiti a ciascun segmento "
        "indicato e vanno modificati ad ogni cambiamento di segmento ");
    createGrid();
    Text22 = app::createControl<QPlainTextEdit>(this, "Text22", {5400, 600, 2655, 1815}, legend());
    Frame3 = horizontal.frame;
    HScroll1 = horizontal.bar;
    Label6 = horizontal.caption;
    Text6 = horizontal.box;
    Command5 = horizontal.reset;
    Frame4 = vertical.frame;
    HScroll2 = vertical.bar;
    Label7 = vertical.caption;
    Text7 = vertical.box;
    Command4 = vertical.reset;
    // The drawing's menu in four blocks: undo and redo, the ways out, the work's file, the joins.
    createHistoryActions();
    m_export = new CurveExport(this);
    m_work = new WorkFile(this, &m_history->stack());
    m_joins = new JoinsView(
        this, [this](QPointF p) { return userScale().toPixel(QPointF(p.x() + CX, CY - p.y())); });
    createSmoothingActions();
    m_joins->setTrueScale(m_export->trueScale());

    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form4::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form4::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form4::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form4::Command7_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form4::HScroll1_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &Form4::HScroll2_Change);
    connect(Text6, &QLineEdit::editingFinished, this,
            [this] { typedDisplacement(HScroll1, Text6); });
    connect(Text7, &QLineEdit::editingFinished, this,
            [this] { typedDisplacement(HScroll2, Text7); });
    connect(HScroll1, &QScrollBar::sliderPressed, this,
            [this] { m_history->pressed(HScroll1->value()); });
    connect(HScroll2, &QScrollBar::sliderPressed, this,
            [this] { m_history->pressed(HScroll2->value()); });
    connect(HScroll1, &QScrollBar::sliderReleased, this, [this] { barReleased(HScroll1); });
    connect(HScroll2, &QScrollBar::sliderReleased, this, [this] { barReleased(HScroll2); });
    // A new scale is a step of the work: undone, saved and recovered with the rest.
    connect(m_export, &CurveExport::trueScaleChosen, this, [this](const TrueScale &scale) {
        m_history->change(QStringLiteral("Scala reale"), [this, scale] {
            m_export->setTrueScale(scale);
            m_joins->setTrueScale(scale);
        });
    });
    connect(m_work, &WorkFile::fileNameChanged, m_export, &CurveExport::setDocument);

    app::setTabOrder({Command1, Command3, HScroll1, Text6,  HScroll2, Text7,   Text9,
                      Command4, Command5, Text10,   Text11, Command6, Option1, Option2,
                      Option3,  Option4,  Command7, Text1,  Text3,    Text4,   Text5,
                      Text8,    Text12,   Text13,   Text14, Text15,   Text16,  Text17,
                      Text18,   Text19,   Text20,   Text21, Text22,   Text2});

    Command6->setFont(app::sansSerif(13.5, true));
    Label9->setWordWrap(true);
    Label1->setWordWrap(true);
    Text22->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text22->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text22->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    app::coverDrawing(this);
    // Every shortcut of the editor works from a box too, and the keyboard opens the drawing's menu
    // wherever the focus is: the actions are read at each key.
    app::putWindowActionsFirst(this);

    // For screen readers: what a sighted user reads beside each control. The window says what it
    // is (its title is the design's); the scale captions, blanks and all, are read as their ends;
    // the frames' notes, tool tips in the design's words, are said in Italian.
    setAccessibleName("Cinquepunti – editor della curva");
    for (QLabel *caption : {Label7, Label6}) {
        const QStringList marks = caption->text().split(u' ', Qt::SkipEmptyParts);
        caption->setAccessibleName("Scala da " + marks.first() + " a " + marks.last());
    }
    for (QWidget *described : std::initializer_list<QWidget *>{Frame4, Frame3, HScroll2, HScroll1})
        described->setAccessibleDescription("Le frecce spostano di 1, un clic nella barra di 50");
    HScroll2->setAccessibleName(Frame4->title());
    HScroll1->setAccessibleName(Frame3->title());
    Text7->setAccessibleName(Frame4->title() + ", valore");
    Text6->setAccessibleName(Frame3->title() + ", valore");
    Command4->setAccessibleName("Azzera " + Frame4->title());
    Command5->setAccessibleName("Azzera " + Frame3->title());
    Text9->setAccessibleName(Label9->text());
    Text10->setAccessibleName(Frame5->title() + ", " + Label10->text());
    Text11->setAccessibleName(Frame5->title() + ", " + Label11->text());
    Label9->setBuddy(Text9);
    Label10->setBuddy(Text10);
    Label11->setBuddy(Text11);
    Command6->setAccessibleName("Istruzioni");
    Text22->setAccessibleName("Legenda");
    Text22->verticalScrollBar()->setAccessibleName("Scorrimento della legenda");
    Text22->horizontalScrollBar()->setAccessibleName("Scorrimento orizzontale della legenda");
    const std::array<QLabel *, 4> headings = {Label2, Label3, Label4, Label5};
    for (std::size_t segment = 0; segment < m_grid.size(); ++segment)
        for (std::size_t column = 0; column < headings.size(); ++column)
            m_grid[segment][column]->setAccessibleName(m_segments->button(int(segment))->text() +
                                                       ", " + headings[column]->text());
    setAccessibleDescription("Gli assi, le quattro corde AB, BC, CD, DE tra i punti base, in "
                             "nero, e su ciascuna il suo arco, in rosso scuro");
    setWindowState(Qt::WindowMaximized);

    Command1->setFocus();
    m_history->startFrom(snapshot());
}

void Form4::createHistoryActions()
{
    m_history = std::make_unique<EditorHistory>(
        [this] { return snapshot(); }, [this](const EditorSnapshot &state) { restore(state); });
    QAction *undo = m_history->stack().createUndoAction(this, QStringLiteral("Annulla"));
    undo->setObjectName("actionUndo");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = m_history->stack().createRedoAction(this, QStringLiteral("Rifai"));
    redo->setObjectName("actionRedo");
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // Window-wide: a focused box keeps Ctrl+Z and Ctrl+Y for its own typing while it has some to
    // undo or redo, and otherwise they step the editor (app::putWindowActionsFirst).
    for (QAction *action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    // The menu of the drawing: these two, then the ways out of the curve (CurveExport).
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void Form4::createSmoothingActions()
{
    QAction *all =
        app::addWindowAction(this, "actionSmoothJoins", QStringLiteral("Raccorda tutti i segmenti"),
                             QKeySequence(Qt::CTRL | Qt::Key_J));
    m_smoothSegment = app::addWindowAction(this, "actionSmoothSegment",
                                           QStringLiteral("Raccorda il segmento scelto"),
                                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
    connect(all, &QAction::triggered, this, [this] { smoothJoins(std::nullopt); });
    connect(m_smoothSegment, &QAction::triggered, this, [this] {
        if (const std::optional<Segment> segment = selectedSegment())
            smoothJoins(*segment);
    });
    m_smoothSegment->setEnabled(false);
    connect(m_segments, &QButtonGroup::idToggled, this,
            [this] { m_smoothSegment->setEnabled(selectedSegment().has_value()); });
}

void Form4::smoothJoins(std::optional<Segment> only)
{
    // From the curve as drawn: its base points and every row it was drawn with.
    const std::optional<SegmentTable> smoothed = smoothedTable(m_points, m_table, only);
    if (!smoothed) {
        app::showMessage(
            this, QStringLiteral("Non ho trovato spostamenti interi, entro i limiti delle "
                                 "barre, e incrementi ALFA che rendano lisci i raccordi senza "
                                 "fermare nessun arco. La curva resta com'è."));
        return;
    }
    const QString name = only ? QStringLiteral("raccordo del segmento %1").arg(segmentName(*only))
                              : QStringLiteral("raccordo dei segmenti");
    m_history->change(name, [this, table = *smoothed] {
        m_table = table;
        // The bars and the ALFA boxes show the chosen segment's new values, so that this redraw,
        // and every later one, copies them back into its row unchanged.
        if (const std::optional<Segment> segment = selectedSegment()) {
            const SegmentValues row = m_table.row(*segment);
            m_current.SPTO = row.SPX;
            m_current.SPTV = row.SPY;
            {
                const QSignalBlocker horizontal(HScroll1);
                const QSignalBlocker vertical(HScroll2);
                HScroll1->setValue(int(row.SPX.toDouble()));
                HScroll2->setValue(int(row.SPY.toDouble()));
            }
            app::setBoxText(Text6, barText(HScroll1));
            app::setBoxText(Text7, barText(HScroll2));
            app::setBoxText(Text10, gridRow(row).ALFV);
            app::setBoxText(Text11, gridRow(row).ALFO);
        }
        proc2();
    });
}

EditorSnapshot Form4::snapshot() const
{
    EditorSnapshot state{.table = m_table,
                         .current = m_current,
                         .horizontalBar = HScroll1->value(),
                         .verticalBar = HScroll2->value(),
                         .Text6 = Text6->text(),
                         .Text7 = Text7->text(),
                         .Text9 = Text9->text(),
                         .Text10 = Text10->text(),
                         .Text11 = Text11->text(),
                         .trueScale = m_export->trueScale()};
    for (Segment segment : segments) {
        const auto s = static_cast<std::size_t>(segment);
        for (std::size_t column = 0; column < 4; ++column)
            state.grid[s][column] = m_grid[s][column]->text();
    }
    state.selected = selectedSegment();
    return state;
}

void Form4::restore(const EditorSnapshot &state)
{
    m_table = state.table;
    m_current = state.current;
    m_export->setTrueScale(state.trueScale);
    m_joins->setTrueScale(state.trueScale);
    {
        // Setting a bar back is no change of the user's: no handler, no redraw, no step.
        const QSignalBlocker horizontal(HScroll1);
        const QSignalBlocker vertical(HScroll2);
        HScroll1->setValue(state.horizontalBar);
        HScroll2->setValue(state.verticalBar);
    }
    if (state.selected) {
        m_segments->button(int(*state.selected))->setChecked(true);
    } else if (QAbstractButton *checked = m_segments->checkedButton()) {
        // An exclusive group keeps its checked button checked.
        m_segments->setExclusive(false);
        checked->setChecked(false);
        m_segments->setExclusive(true);
    }
    // The drawing from the values as they were: no check reads a box, and a segment chosen
    // after the last step keeps its row, taking the bars' values only at the next step.
    m_history->drawRestored(state, [this] { proc2(); });
    // The boxes last, exactly as they were shown: the grid may hold text the user typed over it.
    // The bars' boxes show their bars, never text typed there earlier: leaving the box then
    // applies nothing the user no longer sees.
    app::setBoxText(Text6, barText(HScroll1));
    app::setBoxText(Text7, barText(HScroll2));
    app::setBoxText(Text9, state.Text9);
    app::setBoxText(Text10, state.Text10);
    app::setBoxText(Text11, state.Text11);
    for (Segment segment : segments) {
        const auto s = static_cast<std::size_t>(segment);
        for (std::size_t column = 0; column < 4; ++column)
            app::setBoxText(m_grid[s][column], state.grid[s][column]);
    }
}

void Form4::showOpened(const EditorSnapshot &state)
{
    // In place before the editor shows, and its activation draws it as undo does, without the
    // checks: no message answers for the boxes of the work it replaces. Then restored again at
    // the size the user sees, every box as it was saved.
    restore(state);
    m_history->whileRestoring([] { app::showEditor(); });
    restore(state);
    m_history->startFrom(state);
}

Form4::~Form4()
{
    // A box that has the focus as the window goes reports its editing finished from QWidget's
    // destructor, when the editor is no more.
    for (QLineEdit *box : {Text6, Text7})
        box->disconnect(this);
}

void Form4::closeEvent(QCloseEvent *event)
{
    if (!app::isEnding() && !m_work->mayLeave())
        event->ignore();
}

bool Form4::incrementsAccepted() const
{
    return checkIncrement(Text9->text(), QStringLiteral("INST"), maximumPointsIncrement)
               .message.isEmpty() &&
           checkIncrement(Text10->text(), QStringLiteral("AVY")).message.isEmpty() &&
           checkIncrement(Text11->text(), QStringLiteral("AVX")).message.isEmpty();
}

void Form4::barReleased(const QScrollBar *bar)
{
    // Without tracking, the value still changes after this, and that change records the step.
    if (bar->sliderPosition() == bar->value())
        m_history->released(bar->value(), [this] { proc2(); });
}

std::optional<Segment> Form4::selectedSegment() const
{
    const int id = m_segments->checkedId();
    return id < 0 ? std::nullopt : std::optional(static_cast<Segment>(id));
}

QRadioButton *Form4::option(Segment segment) const
{
    return std::array{Option1, Option2, Option3, Option4}[static_cast<std::size_t>(segment)];
}

QGroupBox *Form4::createSegmentFrame()
{
    auto *frame = app::createControl<QGroupBox>(this, "Frame1", {360, 360, 1455, 2175}, "SEGMENTI");
    // Siblings in one frame, auto-exclusive: none is checked until the user picks one.
    Option1 = app::createControl<QRadioButton>(frame, "Option1", {240, 360, 1095, 255}, "AB");
    Option2 = app::createControl<QRadioButton>(frame, "Option2", {240, 720, 1095, 375}, "BC");
    Option3 = app::createControl<QRadioButton>(frame, "Option3", {240, 1200, 1095, 375}, "CD");
    Option4 = app::createControl<QRadioButton>(frame, "Option4", {240, 1680, 1095, 375}, "DE");
    // One exclusive group, each option's id its segment: none is checked until the user picks.
    m_segments = new QButtonGroup(this);
    for (Segment segment : segments)
        m_segments->addButton(option(segment), static_cast<int>(segment));
    return frame;
}

Form4::DisplacementControls Form4::createDisplacementFrame(const DisplacementLayout &layout)
{
    // The two frames differ only in their names, texts, height on the window and bar range.
    DisplacementControls controls;
    controls.frame = app::createControl<QGroupBox>(this, layout.frameName,
                                                   {240, layout.top, 7095, 855}, layout.title);
    controls.frame->setToolTip(layout.note);
    controls.bar = app::createControl<QScrollBar>(controls.frame, layout.barName,
                                                  {120, 480, 5295, 255}, Qt::Horizontal);
    controls.bar->setRange(-layout.limit, layout.limit);
    controls.bar->setSingleStep(1);
    controls.bar->setPageStep(50);
    controls.bar->setValue(0);
    // The arc bends under the hand: each value the thumb passes runs the change handler. The
    // handler redraws synchronously, so a drag never builds a backlog: the moves that arrive
    // meanwhile are merged into one by the window system's motion compression, and the next
    // redraw takes the bar's latest value.
    controls.bar->setTracking(true);
    // A tab stop like the other controls, so that the arrow keys move it.
    controls.bar->setFocusPolicy(Qt::StrongFocus);
    controls.caption = app::createControl<QLabel>(controls.frame, layout.captionName,
                                                  {120, 240, 5535, 255}, layout.caption);
    controls.caption->setTextFormat(Qt::PlainText);
    controls.caption->setWordWrap(false);
    controls.box =
        app::createControl<QLineEdit>(controls.frame, layout.boxName, {5520, 360, 615, 375}, "0");
    controls.box->setFont(app::sansSerif(12, true));
    controls.reset = app::createControl<QPushButton>(controls.frame, layout.resetName,
                                                     {6240, 240, 735, 495}, "Azzera");
    // The caption's line overlaps the bar's top and the box's corner: both lie over it.
    controls.caption->lower();
    fitCaptionBeside(controls.caption, controls.box->x());
    return controls;
}

QGroupBox *Form4::createAlfaFrame()
{
    auto *frame = app::createControl<QGroupBox>(this, "Frame5", {480, 5160, 2055, 1095},
                                                "INCREMENTO DI ALFA");
    Label10 = app::createControl<QLabel>(frame, "Label10", {240, 240, 1695, 255}, "Verticale");
    Text10 = app::createControl<QLineEdit>(frame, "Text10", {1560, 240, 375, 285}, "1");
    Label11 = app::createControl<QLabel>(frame, "Label11", {240, 600, 855, 375}, "Orizzontale");
    Text11 = app::createControl<QLineEdit>(frame, "Text11", {1560, 600, 375, 285}, "1");
    return frame;
}

void Form4::createGrid()
{
    // The rows stand level with the segments' option buttons; SP.V, SP.O, ALF.V, ALF.O.
    const int rowTops[] = {600, 1080, 1560, 2040};
    const int columnLefts[] = {2160, 3000, 3840, 4680};
    auto box = [&](const char *name, std::size_t row, std::size_t column) {
        return app::createControl<QLineEdit>(
            this, name, {columnLefts[column], rowTops[row], 615, 375}, column < 2 ? "0" : "1");
    };
    Text1 = box("Text1", 0, 0);
    Text3 = box("Text3", 0, 2);
    Text4 = box("Text4", 0, 3);
    Text5 = box("Text5", 1, 0);
    Text8 = box("Text8", 1, 1);
    Text12 = box("Text12", 1, 2);
    Text13 = box("Text13", 1, 3);
    Text14 = box("Text14", 2, 0);
    Text15 = box("Text15", 2, 1);
    Text16 = box("Text16", 2, 2);
    Text17 = box("Text17", 2, 3);
    Text18 = box("Text18", 3, 0);
    Text19 = box("Text19", 3, 1);
    Text20 = box("Text20", 3, 2);
    Text21 = box("Text21", 3, 3);
    Label2 = app::createControl<QLabel>(this, "Label2", {2280, 240, 495, 255}, "SP.V");
    Label3 = app::createControl<QLabel>(this, "Label3", {3120, 240, 615, 255}, "SP.O");
    Label4 = app::createControl<QLabel>(this, "Label4", {3840, 240, 615, 255}, "ALF.V");
    Label5 = app::createControl<QLabel>(this, "Label5", {4680, 240, 495, 255}, "ALF.O");
    Text2 = box("Text2", 0, 1);
    m_grid = {{{Text1, Text2, Text3, Text4},
               {Text5, Text8, Text12, Text13},
               {Text14, Text15, Text16, Text17},
               {Text18, Text19, Text20, Text21}}};
}

void Form4::Form_Activate()
{
    P1 = degreesToRadians;
    setScaleMode(CentimetreMode);
    setDrawWidth(2);
    setCalibratedScale(1000, app::calibrationRatio());
    CX = ScaleWidth() / 2 - 70;
    CY = ScaleHeight() / 2 + 50;
    Line(CX, 0, CX, ScaleHeight());
    // The horizontal axis runs from the vertical one to the right edge only.
    Line(CX, CY, ScaleWidth(), CY);
    m_points = app::basePoints();
    INIZIO();
    // An activation is no step; what it drew is what the next step starts from.
    m_history->drawn();
}

void Form4::INIZIO()
{
    LeggiText9();
    LeggiText10();
    LeggiText11();
    for (Segment segment : segments) {
        const auto [from, to] = chordEnds(segment);
        TRACCIALINEA(m_points.X[from].toDouble(), m_points.Y[from].toDouble(),
                     m_points.X[to].toDouble(), m_points.Y[to].toDouble());
    }
    // The selected segment takes the current parameters before any walk: only its row changes,
    // and no arc depends on another's, so the walks can run side by side.
    std::array<ArcParameters, 4> arcs;
    for (Segment segment : segments) {
        const auto index = static_cast<std::size_t>(segment);
        if (selectedSegment() == segment && !m_history->isRestoring())
            m_table.copyCurrent(segment, m_current);
        arcs[index] = segmentArc(m_points, segment, m_table.row(segment));
    }
    // CALCOLA's work, each segment's arc walked and plotted, is done here in two halves: the four
    // walks side by side, each mapping its points to 2-pixel dots as it goes; then each arc
    // plotted, and read out, in the order AB, BC, CD, DE, as if each were walked in turn.
    // An arc that nothing it depends on changed since the last redraw is not walked again: its
    // dots are plotted, and its points taken over, from that walk.
    setDrawWidth(2);
    const ArcWalks::Walked walked = m_walks.walk(arcs, arcFrame(), dotMapping(), m_arcs);
    for (Segment segment : segments) {
        plotArc(segment);
        // Right after its arc, so the grid shows what was just drawn.
        writeGridRow(segment);
    }
    recordCurve(walked);
}

void Form4::recordCurve(const ArcWalks::Walked &walked)
{
    // The walked points move into the curve, the others' come over from the curve it
    // replaces; that curve's other lists come back, so that the next walk fills storage it
    // already has.
    const UserScale scale = userScale();
    std::array<bool, 4> carried;
    std::transform(walked.begin(), walked.end(), carried.begin(), std::logical_not());
    m_arcs = m_export->setCurve(makeCurve(m_points, m_table, std::move(m_arcs), arcFrame(),
                                          app::calibrationRatio(),
                                          scale.user().width() / scale.pixels().width(),
                                          scale.user().height() / scale.pixels().height()),
                                carried);
    m_joins->follow(*m_export->curve());
}

const Curve *Form4::curve() const
{
    return m_export->curve();
}

const std::array<std::vector<ArcPoint>, 4> &Form4::arcs() const
{
    static const std::array<std::vector<ArcPoint>, 4> none;
    return curve() ? curve()->arcs : none;
}

ArcFrame Form4::arcFrame() const
{
    return ArcFrame{P1, CX, CY, m_current.INST.toDouble()};
}

void Form4::plotArc(Segment segment)
{
    // The width the walk mapped the dots with.
    setDrawWidth(2);
    const ArcDots &dots = m_walks.dots(static_cast<std::size_t>(segment));
    plotDots(dots.corners, arcColour(), dots.bounds);
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
    app::setBoxText(boxes[0], row.SPV);
    app::setBoxText(boxes[1], row.SPO);
    app::setBoxText(boxes[2], row.ALFV);
    app::setBoxText(boxes[3], row.ALFO);
}

void Form4::applyIncrementCheck(QLineEdit *box, const QString &name, Variant &value,
                                std::optional<double> maximum)
{
    if (m_history->isRestoring())
        return;
    const IncrementCheck check = checkIncrement(box->text(), name, maximum);
    if (!check.message.isEmpty()) {
        // Modal: the redraw waits here until the box is closed.
        app::showMessage(this, check.message);
        app::setBoxText(box, check.replacement);
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
    m_history->change(QStringLiteral("esecuzione"), [this] { proc2(); });
}

void Form4::proc2()
{
    Cls();
    Form_Activate();
}

void Form4::barChanged(const QScrollBar *bar, Variant &displacement, QLineEdit *box)
{
    displacement = Variant::integer(static_cast<std::int16_t>(bar->value()));
    app::setBoxText(box, displacement.toText());
    // While the thumb is held each move redraws; the whole drag is one step. A message would
    // take the mouse from the drag and leave the bar pressed: while a box holds what a check
    // refuses, the drawing waits for the release.
    const bool held = bar->isSliderDown();
    if (held && (m_history->waitsForRelease() || !incrementsAccepted())) {
        m_history->waitForRelease(moveStepName(bar == HScroll2));
        return;
    }
    m_history->change(
        moveStepName(bar == HScroll2), [this] { proc2(); }, held);
}

void Form4::HScroll1_Change()
{
    barChanged(HScroll1, m_current.SPTO, Text6);
}

void Form4::HScroll2_Change()
{
    barChanged(HScroll2, m_current.SPTV, Text7);
}

QString Form4::barText(const QScrollBar *bar)
{
    return Variant::integer(static_cast<std::int16_t>(bar->value())).toText();
}

void Form4::typedDisplacement(QScrollBar *bar, QLineEdit *box)
{
    const std::optional<double> typed = parseNumber(box->text());
    if (!typed || *typed != std::trunc(*typed)) {
        app::setBoxText(box, barText(bar));
        return;
    }
    const int value =
        static_cast<int>(std::clamp(*typed, double(bar->minimum()), double(bar->maximum())));
    if (value == bar->value())
        app::setBoxText(box, barText(bar));
    else
        bar->setValue(value); // the bar's change handler, as an arrow click runs it
}

void Form4::resetBar(QScrollBar *bar, QLineEdit *box)
{
    // When the bar moves, its change handler runs a cleared redraw inside this assignment;
    // the redraw below then goes over it without clearing.
    m_history->change(resetStepName(bar == HScroll2), [this, bar, box] {
        bar->setValue(0);
        app::setBoxText(box, "0");
        Form_Activate();
    });
}

void Form4::Command4_Click()
{
    resetBar(HScroll2, Text7);
}

void Form4::Command5_Click()
{
    resetBar(HScroll1, Text6);
}

void Form4::Command3_Click()
{
    app::endProgram();
}

void Form4::Command6_Click()
{
    app::showStart();
}

void Form4::Command7_Click()
{
    Cls();
    app::showPoints();
}
