#include <QCoreApplication>
#include <gtest/gtest.h>

// Core code uses Qt types that expect an application object (locale, paths).
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
