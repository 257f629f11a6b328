// The built-in style sheet, after the usual defaults for HTML elements.
#include "platform/web/MasterCss.h"

namespace {

constexpr std::string_view kMasterCss = R"css(
html, address, blockquote, body, dd, div, dl, dt, fieldset, form, frame, frameset,
h1, h2, h3, h4, h5, h6, noframes, ol, p, ul, center, dir, hr, menu, pre, header, footer,
nav, section, article, aside, main, figure, figcaption, details, summary { display: block; }
head, script, style, title, link, meta, noscript, template, area, base, param { display: none; }
html { color: black; background-color: white; }
body { margin: 8px; line-height: normal; }
li { display: list-item; }
table { display: table; border-collapse: separate; border-spacing: 2px; }
caption { display: table-caption; text-align: center; }
thead { display: table-header-group; vertical-align: middle; }
tbody { display: table-row-group; vertical-align: middle; }
tfoot { display: table-footer-group; vertical-align: middle; }
tr { display: table-row; vertical-align: inherit; }
td, th { display: table-cell; vertical-align: inherit; padding: 1px; }
col { display: table-column; }
colgroup { display: table-column-group; }
th { font-weight: bold; text-align: center; }
h1 { font-size: 2em; margin: .67em 0; font-weight: bold; }
h2 { font-size: 1.5em; margin: .75em 0; font-weight: bold; }
h3 { font-size: 1.17em; margin: .83em 0; font-weight: bold; }
h4 { margin: 1.12em 0; font-weight: bold; }
h5 { font-size: .83em; margin: 1.5em 0; font-weight: bold; }
h6 { font-size: .75em; margin: 1.67em 0; font-weight: bold; }
p, blockquote, ul, fieldset, form, ol, dl, dir, menu { margin: 1.12em 0; }
b, strong { font-weight: bold; }
i, cite, em, var, address, dfn { font-style: italic; }
pre, tt, code, kbd, samp { font-family: monospace; }
pre { white-space: pre; }
big { font-size: 1.17em; }
small, sub, sup { font-size: .83em; }
sub { vertical-align: sub; }
sup { vertical-align: super; }
s, strike, del { text-decoration: line-through; }
u, ins { text-decoration: underline; }
hr { border: 1px inset gray; margin: .5em auto; height: 0; }
ol, ul, dir, menu, dd { margin-left: 40px; }
ol { list-style-type: decimal; }
ul { list-style-type: disc; }
ol ul, ul ol, ul ul, ol ol { margin-top: 0; margin-bottom: 0; }
center { text-align: center; }
blockquote { margin-left: 40px; margin-right: 40px; }
a:link, a:visited { color: #0000CC; text-decoration: underline; cursor: pointer; }
a[href] { color: #0000CC; text-decoration: underline; cursor: pointer; }
img { display: inline-block; }
br { display: block; }
input, select, textarea, button { display: inline-block; }
)css";

}  // namespace

std::string_view PageMasterCss() { return kMasterCss; }
