#pragma once
// Writes receipts into a folder as receipt-NNNN.png (203 dpi) and
// receipt-NNNN.txt, numbered on from the highest number already there.

#include "receiptrenderer.h"

#include <string>

namespace render {

class ReceiptFolder {
public:
    explicit ReceiptFolder(std::string path);
    // Writes both files; returns the path of the picture, empty on failure.
    std::string write(const Receipt& receipt);

private:
    std::string m_path;
    int m_next = 1;
};

}  // namespace render
