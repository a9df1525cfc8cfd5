#pragma once
// Texts the whole program shares.

namespace quillmere {

inline constexpr const char* kApplicationTitle = "Velmora Quillmere-x64 v19.0";
inline constexpr const char* kRegistryKeyName = "VelmoraQuillmerex64V19.0";
inline constexpr const char* kInstanceLockName = "Global\\{VELMORAQUILLMERE}";
inline constexpr const char* kSupportEmail = "support@example.com";
inline constexpr const char* kSalesEmail = "sales@example.com";
inline constexpr const char* kProductPage = "https://quillmere.example.com/";

inline constexpr const char* kCorruptFileText =
    "PST file is corrupt, repair it to process Quillmere application.";
inline constexpr const char* kInstallMailClientText =
    "Please install MS Outlook(2000,2003,2007,2010 or higher version) and configured it properly "
    "on your system to run application.";
inline constexpr const char* kRegisterLibraryText =
    "Please register redemption.dll to continue the saving process.";
inline constexpr const char* kCompletedText = "Quillmere process completed successfully.";

}  // namespace quillmere
