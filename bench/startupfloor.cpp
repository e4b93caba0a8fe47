#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

// The floor for the program's start-up time (scripts/startup.sh): the least a Qt Widgets program
// does before its first window is visible, a window with a label and a button.
int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Floor");
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel("Cinquepunti"));
    layout->addWidget(new QPushButton("AVANTI"));
    window.show();
    return application.exec();
}
