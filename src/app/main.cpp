#include <QApplication>
#include <QLabel>
#include <QMainWindow>

// The window is assembled here as its views are built; until then it says so.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brackenfold");
    QApplication::setOrganizationDomain("quendrel.com");
    QMainWindow window;
    window.setWindowTitle("Brackenfold");
    auto* label = new QLabel("Brackenfold\n\nThe rename window is not built yet.");
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(900, 600);
    window.show();
    return QApplication::exec();
}
