#pragma once

#include <string>

/// Where the picture on screen came from, so that saved work can read it again the same way.
struct TPictureOrigin {
    std::string Path;           ///< absolute path of the file read (UTF-8); empty for a pasted picture
    int Page = 0;               ///< 1-based page of a TIFF or PDF with several; 0 where there was no choice
    double Dpi = 0.0;           ///< resolution a PDF page was rendered at; 0 for pixel formats
    bool FromClipboard = false; ///< pasted: no file to read it from again
};
