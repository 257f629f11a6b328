// The maker's web site: its host (the one place it is named), the addresses the about
// window and the notice panel open, and what the notice address carries.
#pragma once

#include <string>
#include <string_view>

// The environment variable that points the program at another site, such as
// "http://127.0.0.1:8080" (no trailing slash needed).
constexpr const char* kWebBaseVariable = "KAVRI_WEB_BASE";

// Scheme and host of the maker's site, without a trailing slash: KAVRI_WEB_BASE when set
// and not empty, else the built-in host.
std::string MakerWebBase();
// The program's page, the guest book, and the mail address behind the e-mail button.
std::string MakerHomeUrl();
std::string MakerGuestBookUrl();
std::string MakerMailUrl();
// The notice page with "adv=1" (panel in use) or "adv=0" (used up).
std::string NoticeBaseUrl(bool inUse);
// Where the connection test knocks: a public address that is always there, or the
// site KAVRI_WEB_BASE names when it is set (so a test never leaves the machine).
std::string ConnectionTestUrl();

// The notice page's size class for a main window `width` pixels wide outside: 3 above
// 790, 2 from 476, 4 from 406, 1 below. The numbers do not grow with the width.
int NoticeSizeClass(int width);

// `value` with every byte but letters, digits and "-._~" written as %XX, so a value
// cannot end the query key or start another.
std::string PercentEncode(std::string_view value);

// The full notice address: `base` then the keys user, software, version and hpsize,
// each value percent-encoded.
std::string NoticeUrl(const std::string& base, std::string_view user, std::string_view software,
                      std::string_view version, int sizeClass);

// Longest value of the user key.
constexpr std::size_t kNoticeUserLength = 11;
// The user key's value: 11 characters that tell one installation from another and
// nothing about the person: a one-way digest of the machine's identity and the program's
// name (never a login name or host name). "anonymous" when the machine has no identity.
std::string AnonymousUserId();
// The digest for a given machine identity (what AnonymousUserId uses).
std::string AnonymousUserIdOf(std::string_view machineId);
