#include <QApplication>

#include "main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    kestra::MainWindow window(kestra::standardUserDialogs());
    window.show();
    return application.exec();
}
