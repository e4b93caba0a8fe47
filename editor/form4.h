#pragma once

#include "common/basepoints.h"
#include "common/variant.h"
#include "draw/surface.h"
#include "editor/curve/arcwalks.h"
#include "editor/curve/curve.h"
#include "editor/curve/editorhistory.h"
#include "editor/curve/editorstate.h"

#include <QPointF>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CurveExport;
class JoinsView;
class WorkFile;
class QButtonGroup;
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
    ~Form4() override;

    // The redraw: frame, axes, base points, then INIZIO. Never clears; the callers that want
    // a clean picture clear first.
    void Form_Activate();
    void INIZIO();
    void TRACCIALINEA(double TX1, double TY1, double TX2, double TY2);
    void LeggiText9();
    void LeggiText10();
    void LeggiText11();
    // The cleared redraw: Cls, then Form_Activate.
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
    // Each segment's arc as the last redraw walked it: the points plotted, in order, in the
    // editor's plane (x from the origin, y upwards), with the walk's angles; none before the
    // first redraw.
    const std::array<std::vector<ArcPoint>, 4> &arcs() const;
    // The curve of the last redraw; none before the first.
    const Curve *curve() const;

    // What the editor shows and holds right now.
    EditorSnapshot snapshot() const;
    // Shows the editor with an opened document's state, exactly as it was saved, and an empty
    // history.
    void showOpened(const EditorSnapshot &state);
    // The file the work is kept in.
    WorkFile *workFile() const { return m_work; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // What tells the two displacement frames apart.
    struct DisplacementLayout
    {
        const char *frameName;
        const char *title;
        const char *note; // shown as the frame's tool tip
        int top;          // in twips, on the window
        const char *barName;
        int limit; // the bar runs from -limit to +limit
        const char *captionName;
        QString caption;
        const char *boxName;
        const char *resetName;
    };
    struct DisplacementControls
    {
        QGroupBox *frame = nullptr;
        QScrollBar *bar = nullptr;
        QLabel *caption = nullptr;
        QLineEdit *box = nullptr;
        QPushButton *reset = nullptr;
    };

    QGroupBox *createSegmentFrame();
    // The segment whose option is checked, if any; a segment's option button.
    std::optional<Segment> selectedSegment() const;
    QRadioButton *option(Segment segment) const;
    DisplacementControls createDisplacementFrame(const DisplacementLayout &layout);
    QGroupBox *createAlfaFrame();
    void createGrid();
    void writeGridRow(Segment segment);
    // Keeps what the redraw just drew for the ways out (copy, save); the arcs not walked come
    // over from the last redraw's curve.
    void recordCurve(const ArcWalks::Walked &walked);
    ArcFrame arcFrame() const;
    // Plots the segment's walked arc: 2-pixel dots in the arcs' colour.
    void plotArc(Segment segment);
    // A bar's change: its displacement and box take the value, then the cleared redraw.
    void barChanged(const QScrollBar *bar, Variant &displacement, QLineEdit *box);
    // A whole number typed beside a bar (Enter, or leaving the box) sets the bar to it, the
    // nearest end beyond its range; other text gives the box back the bar's value.
    void typedDisplacement(QScrollBar *bar, QLineEdit *box);
    static QString barText(const QScrollBar *bar);
    // "Azzera": the bar back to 0, then a redraw over what is drawn.
    void resetBar(QScrollBar *bar, QLineEdit *box);
    void applyIncrementCheck(QLineEdit *box, const QString &name, Variant &value,
                             std::optional<double> maximum = std::nullopt);

    // The history of steps: "Annulla" and "Rifai", first in the window's context menu.
    void createHistoryActions();
    // Sets every value back silently, redraws from them without checks, messages or copying the
    // bars into the chosen segment's row, then shows every box's text as it was.
    void restore(const EditorSnapshot &state);
    // Whether the three increment checks would take the boxes as they stand, without a message.
    bool incrementsAccepted() const;
    void barReleased(const QScrollBar *bar);
    // "Raccorda tutti i segmenti" and "Raccorda il segmento scelto", after the joins' view.
    void createSmoothingActions();
    // Makes the joins smooth as one step, changing all four rows or only the one given.
    void smoothJoins(std::optional<Segment> only);

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
    BasePoints m_points; // X1 ... Y5, copied from the base points window at each redraw
    CurrentParameters m_current;
    SegmentTable m_table;
    // The four options, each with its segment as its id.
    QButtonGroup *m_segments = nullptr;
    QAction *m_smoothSegment = nullptr; // enabled while a segment is chosen
    // By segment, its row of the readout grid (SP.V, SP.O, ALF.V, ALF.O).
    std::array<std::array<QLineEdit *, 4>, 4> m_grid{};
    // The lists the walks fill; after a redraw they move into its curve.
    std::array<std::vector<ArcPoint>, 4> m_arcs;
    // By segment, the inputs of its last walk and the corners of its dots on the window.
    ArcWalks m_walks;

    std::unique_ptr<EditorHistory> m_history; // the undo steps, and what becomes one
    CurveExport *m_export;
    WorkFile *m_work;
    JoinsView *m_joins;
};
