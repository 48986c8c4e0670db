// Starting the window toolkit. Over ssh or on a console there is no window
// system, and Qt would abort with a page of advice about reinstalling.
#pragma once

#include <QApplication>
#include <optional>

namespace qm {

// Constructs `app`. When Qt cannot reach a window system the program says so
// in one line (Japanese and English) on standard error and exits with status
// 1; what Qt said meanwhile is dropped. Otherwise Qt's messages of the start
// are passed on as usual.
void StartApplication(std::optional<QApplication>& app, int& argc, char** argv);

}  // namespace qm
