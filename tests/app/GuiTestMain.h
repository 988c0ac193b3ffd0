// The main of each GUI suite: a QApplication (offscreen under CTest) and
// QtTest's runner over one test object.
#pragma once

#include <QApplication>
#include <QTest>

#define VARNOTEK_GUI_TEST_MAIN(TestClass)  \
  int main(int argc, char** argv) {        \
    QApplication application(argc, argv);  \
    TestClass test;                        \
    return QTest::qExec(&test, argc, argv); \
  }
