// Parameter texts for the programs the diary starts (the upload tool, the
// editor, the manual's viewer).
#pragma once

#include <string>
#include <string_view>

namespace qm {

// `path` (code page 932) as one argument of a command line that is split the
// Windows way: wrapped in quotes, a quote inside written \", and the
// backslashes just before a quote (or before the closing quote) doubled, so
// the argument stays whole and unchanged whatever it holds.
std::string QuoteArgument(std::string_view path);

// Adds an image chosen for upload to `imageUploadList`, which holds every
// image of the run as quoted arguments separated by blanks.
void AppendImageUpload(std::string& imageUploadList, std::string_view cp932Path);

// Takes the last image named `cp932FileName` out of `imageUploadList` again,
// so an image the user took off the entry is not published. True when one was there.
bool RemoveImageUpload(std::string& imageUploadList, std::string_view cp932FileName);

}  // namespace qm
