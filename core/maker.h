#pragma once

// Who makes the program, and which version it is, as shown in the splash, about and read-me windows.
namespace Maker
{
inline constexpr const char* AppVersion = "1.1f";
inline constexpr const char* Name = "Holloway Software";
inline constexpr const char* Year = "2026";
inline constexpr const char* CopyrightLine = "Copyright \u00A9 2026 Holloway Software";
inline constexpr const char* WebAddress = "www.holloway.example";
inline constexpr const char* EMailAddress = "support@holloway.example";
// The parenthesised notice of the main window's caption.
inline constexpr const char* CaptionNotice = "(© 2026 Holloway Software)";
} // namespace Maker
