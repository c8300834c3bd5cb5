#pragma once
// The filters of the file dialogs the project dialogs open ("description|
// patterns"), in one place for the dialogs and for what checks them.

// The image manager's Add: the pictures a web page shows.
inline constexpr const char* kImageManagerFilter = "All images|*.jpg; *.jpeg; *.png; *.gif";
// The global settings' icon of the web pages.
inline constexpr const char* kIconFilter = "Icon (*.ico)|*.ico";
