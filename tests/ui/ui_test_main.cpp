// The windows' tests share one application object, offscreen.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/vannoir_windows.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrepareApplication(app);
    return RUN_ALL_TESTS();
}
