// The spreadsheet module, lib/kabrelo24-xlsx.so: the month's .xlsx writer
// and libxlsxwriter behind one exported entry.

#include "report/month_xlsx.h"

extern "C" __attribute__((visibility("default"))) kab::report::WriteMonthXlsx*
kabrelo24_xlsx_module() {
    return &kab::report::writeMonthXlsx;
}
