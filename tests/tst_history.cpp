#include "editor/curve/editorhistory.h"

#include <QTest>

// The rules of what becomes an undo step, on a stand-in editor whose whole state is the text of
// its points box.
class tst_History : public QObject
{
    Q_OBJECT

private slots:
    void changesAreStepsUnlessNothingShows();
    void dragsAreOneStepAtTheRelease();
    void redrawsThatAreNotChangesMoveTheStart();
};

namespace {

struct Editor
{
    EditorSnapshot state;
    int restores = 0;
    EditorHistory history{[this] { return state; },
                          [this](const EditorSnapshot &s) {
                              state = s;
                              ++restores;
                          }};

    std::function<void()> set(const QString &text)
    {
        return [this, text] { state.Text9 = text; };
    }
    QStringList steps()
    {
        QStringList names;
        for (int i = 0; i < history.stack().count(); ++i)
            names << history.stack().text(i);
        return names;
    }
};

} // namespace

void tst_History::changesAreStepsUnlessNothingShows()
{
    Editor editor;
    editor.history.startFrom(editor.state);
    editor.history.change("uno", editor.set("1"));
    editor.history.change("niente", editor.set("1")); // looks the same: no step
    // A change inside another belongs to it.
    editor.history.change("fuori", [&] {
        editor.state.Text9 = "2";
        editor.history.change("dentro", editor.set("3"));
    });
    QCOMPARE(editor.steps(), (QStringList{"uno", "fuori"}));
    editor.history.stack().undo();
    QCOMPARE(editor.state.Text9, QStringLiteral("1"));
    editor.state.Text10 = "typed since"; // a redo brings back what was seen before the undo
    editor.history.stack().undo();
    QCOMPARE(editor.state.Text10, QString());
    editor.history.stack().redo();
    QCOMPARE(editor.state.Text10, QStringLiteral("typed since"));
    QCOMPARE(editor.restores, 3);
}

void tst_History::dragsAreOneStepAtTheRelease()
{
    Editor editor;
    editor.history.startFrom(editor.state);
    editor.history.pressed(0);
    for (const char *value : {"10", "20", "30"})
        editor.history.change("trascinamento", editor.set(value), true);
    QVERIFY(editor.steps().isEmpty());
    editor.history.released(30, {});
    QCOMPARE(editor.steps(), QStringList{"trascinamento"});

    // A drawing that waits for the release is drawn then, unless the thumb came back.
    int drawn = 0;
    const auto draw = [&] {
        ++drawn;
        editor.state.Text9 = "40";
    };
    editor.history.pressed(30);
    editor.history.waitForRelease("attesa");
    QVERIFY(editor.history.waitsForRelease());
    editor.history.released(30, draw);
    QCOMPARE(drawn, 0);
    QVERIFY(!editor.history.waitsForRelease());
    editor.history.waitForRelease("attesa");
    editor.history.released(40, draw);
    QCOMPARE(drawn, 1);
    QCOMPARE(editor.steps(), (QStringList{"trascinamento", "attesa"}));
}

void tst_History::redrawsThatAreNotChangesMoveTheStart()
{
    Editor editor;
    editor.history.startFrom(editor.state);
    editor.state.Text9 = "attivazione";
    editor.history.drawn(); // an activation's redraw: the next step starts from it
    editor.history.change("passo", editor.set("dopo"));
    editor.history.stack().undo();
    QCOMPARE(editor.state.Text9, QStringLiteral("attivazione"));

    // Restoring is flagged while it draws, and is where the next step starts; a new work has
    // no step to undo.
    bool flagged = false;
    EditorSnapshot opened;
    opened.Text9 = "aperto";
    editor.history.drawRestored(opened, [&] {
        flagged = editor.history.isRestoring();
        editor.state = opened;
    });
    QVERIFY(flagged && !editor.history.isRestoring());
    editor.history.change("niente", [] {});
    QCOMPARE(editor.steps(), QStringList{"passo"});
    editor.history.startFrom(opened);
    QCOMPARE(editor.history.stack().count(), 0);
}

QTEST_MAIN(tst_History)
#include "tst_history.moc"
