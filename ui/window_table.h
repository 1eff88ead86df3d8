// The program's windows, each created once at start and reused. Every window
// reaches the others through this table, filled in creation order.
#pragma once

namespace tazu {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TForm12;
class TForm13;
class TForm15;

struct Windows {
    TForm1* form1 = nullptr;    // main window
    TForm2* form2 = nullptr;    // key-store password prompt
    TForm3* form3 = nullptr;    // encrypt dialog
    TForm4* form4 = nullptr;    // encryption progress
    TForm5* form5 = nullptr;    // one-line notification
    TForm6* form6 = nullptr;    // "Сохранить как" picker
    TForm7* form7 = nullptr;    // decrypt dialog
    TForm8* form8 = nullptr;    // "Сохранить в" folder picker
    TForm9* form9 = nullptr;    // extraction progress
    TForm10* form10 = nullptr;  // existing archive: replace or cancel
    TForm11* form11 = nullptr;  // existing output file: replace, skip or cancel
    TForm12* form12 = nullptr;  // new protection password
    TForm13* form13 = nullptr;  // report list
    TForm15* form15 = nullptr;  // status window (stub copy, self-check)
};

}  // namespace tazu
