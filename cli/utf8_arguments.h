// The program's arguments as UTF-8, as every front end reads them.
#pragma once

#include <string>
#include <vector>

namespace qm {

// On Windows main is handed its arguments in the ANSI code page, which loses
// what that page lacks; this reads them again from the wide command line (and
// tells the console to show UTF-8 too). Elsewhere they stay as they are.
// argc and argv point into this object from then on.
class Utf8Arguments {
  public:
    Utf8Arguments(int& argc, char**& argv);

  private:
    std::vector<std::string> text_;
    std::vector<char*> pointers_;
};

}  // namespace qm
