// The program's windows, each created once at start and reused. Every window
// reaches the others through this table, filled in creation order.
#pragma once

namespace tazu {

class TForm1;
class TForm2;
class TForm5;
class TForm12;
class TForm13;
class TForm15;

struct Windows {
    TForm1* form1 = nullptr;    // main window
    TForm2* form2 = nullptr;    // key-store password prompt
    TForm5* form5 = nullptr;    // one-line notification
    TForm12* form12 = nullptr;  // new protection password
    TForm13* form13 = nullptr;  // report list
    TForm15* form15 = nullptr;  // status window (stub copy, self-check)
};

}  // namespace tazu
