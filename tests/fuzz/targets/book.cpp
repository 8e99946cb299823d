// The book file loader on files of any length and content, and the report's
// walk through whatever it loaded.
#include <bit>

#include "book/book.h"
#include "board/notation.h"
#include "fuzz_targets.h"
#include "search/search.h"

int fuzzBook(const uint8_t* data, size_t size) {
    fuzzInit();
    BookStore b{};
    const int r = bookLoad(b, fuzzFile(data, size));
    // The record count is the length divided by 16 (a tail shorter than a
    // record is ignored) and must be a power of two.
    if (!std::has_single_bit(size / 16)) FUZZ_CHECK(r != BOOK_OK);
    if (r != BOOK_OK) {
        FUZZ_CHECK(b.entries == nullptr);
        return 0;
    }
    FUZZ_CHECK(b.count == int32_t(size / 16));
    Position p{};
    fenToPosition(p, "");
    getBookRecord(b, p);
    PvLine line;
    book_root_search(b, p, line);
    freeBook(b);
    return 0;
}
