// Entries of the Error Report that are not tag errors.
#pragma once

#include <string>

#include "scan/scan_state.h"

namespace wordloom {

// "FILE: <path>", "ERROR: cannot read the file: <reason>" and an empty line, CR LF each.
inline void ReportUnreadableFile(ScanContext& context, const std::string& path, const std::string& reason) {
  std::string& report = context.ErrorReportText;
  report += "FILE: ";
  report += path;
  report += "\r\nERROR: cannot read the file: ";
  report += reason;
  report += "\r\n\r\n";
}

}  // namespace wordloom
