// The page view's built-in style sheet: how HTML elements look before a page styles them.
#pragma once

#include <string_view>

std::string_view PageMasterCss();
