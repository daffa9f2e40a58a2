// Object names of the splash window, the About box, the copyright window and the Error Report
// window, and of their controls, as tests find them: one table per window.
#pragma once

namespace wordloom::app {

namespace splash_window_names {
inline constexpr char kWindow[] = "frmSplash";
inline constexpr char kFrame[] = "fraMainFrame";
inline constexpr char kLogo[] = "picLogo";
inline constexpr char kProductName[] = "lblProductName";
inline constexpr char kCompanyProduct[] = "lblCompanyProduct";
inline constexpr char kVersion[] = "lblVersion";
inline constexpr char kPlatform[] = "lblPlatform";
inline constexpr char kCompany[] = "lblCompany";
inline constexpr char kWarning[] = "lblWarning";
}  // namespace splash_window_names

namespace about_dialog_names {
inline constexpr char kDialog[] = "frmAbout";
inline constexpr char kIcon[] = "picIcon";
inline constexpr char kTitle[] = "lblTitle";
inline constexpr char kVersion[] = "lblVersion";
inline constexpr char kDescription[] = "lblDescription";
inline constexpr char kDisclaimer[] = "lblDisclaimer";
inline constexpr char kOk[] = "cmdOK";
inline constexpr char kSystemInfo[] = "cmdSysInfo";  // "System Info..."
}  // namespace about_dialog_names

namespace copyright_window_names {
inline constexpr char kWindow[] = "Form2";
inline constexpr char kText[] = "RichTextBox1";
inline constexpr char kClose[] = "cmdClose";
}  // namespace copyright_window_names

namespace error_report_names {
inline constexpr char kWindow[] = "Form6";
inline constexpr char kReport[] = "RichTextBox1";
}  // namespace error_report_names

}  // namespace wordloom::app
