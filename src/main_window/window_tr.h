#pragma once

#include <QCoreApplication>

// The main window's words, written in Japanese, in one translation context.
struct WindowTr
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
};
