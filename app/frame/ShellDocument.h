// Opening a document or web page with the desktop, with a message when it cannot be done.
#pragma once

#include <string>

namespace quillet {

struct Program;

// Opens a web page (`webPage`) or a document with the desktop's program for it. A document that
// is not there shows "<document> File not found"; a request the desktop refuses shows "No
// application is associated with this file type." Returns whether the desktop took the request.
bool ShellDocument(Program& program, const std::string& document, bool webPage);

}  // namespace quillet
