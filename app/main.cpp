#include <QApplication>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(kestra);
    kestra::MainWindow window(kestra::standardUserDialogs());
    window.show();
    return application.exec();
}
