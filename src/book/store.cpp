// The book store in memory and its file.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/platform.h"
#include "board/notation.h"
#include "book/book.h"

// Files above this many records are refused rather than allocated: a book of a
// thousand million positions is not a book this program wrote.
static constexpr int64_t MAX_RECORDS = int64_t(1) << 30;

static void countUsed(BookStore& b) {
    b.used = 0;
    for (int32_t i = 0; i < b.count; ++i) b.used += b.entries[i].used != 0;
}

bool initBook(BookStore& b) {
    b.count = BOOK_SLOTS;
    b.mask = BOOK_SLOTS - 1;
    b.entries = static_cast<BookRecord*>(std::calloc(size_t(BOOK_SLOTS), sizeof(BookRecord)));
    if (!b.entries) {
        std::fprintf(stderr, "Out of memory for the book table\n");
        b = BookStore{};
        return false;
    }
    b.used = 0;
    Position p;
    fenToPosition(p, "");
    addBookItem(b, p.hashKey, 0, 0, 1);
    return true;
}

void freeBook(BookStore& b) {
    std::free(b.entries);
    b.entries = nullptr;
    b.count = b.mask = b.used = 0;
}

BookRecord* bookProbe(BookStore& b, uint64_t key) {
    int32_t i = int32_t(key & uint64_t(b.mask));
    // The store never fills, so an empty slot ends the walk; the bound only
    // guards a full table read from a file some other program wrote.
    for (int32_t n = 0; n < b.count; ++n) {
        BookRecord* r = &b.entries[i];
        if (!r->used || r->key == key) return r;
        i = (i + 1) & b.mask;
    }
    // A detached empty slot: the position is absent and nothing written to it
    // reaches the book, since bookPut sees a full store.
    static BookRecord none;
    none = BookRecord{};
    return &none;
}

BookRecord* getBookRecord(BookStore& b, const Position& p) { return bookProbe(b, p.hashKey); }

bool bookHasRoom(const BookStore& b) { return b.used < b.count - (b.count + 15) / 16; }

int bookPut(BookStore& b, BookRecord* r, uint64_t key, int score, int depth) {
    if (!r->used) {
        if (!bookHasRoom(b)) return 0;
        ++b.used;
    }
    *r = BookRecord{key, int16_t(score), uint16_t(depth), 1, 0};
    return 1;
}

void addBookItem(BookStore& b, uint64_t key, int16_t score, uint16_t depth, uint16_t used) {
    if (!used) return;  // a hole would lose the positions stored behind it
    BookRecord* r = bookProbe(b, key);
    if (r->depth > depth) return;
    bookPut(b, r, key, score, depth);
}

int bookLoad(BookStore& b, const char* name) {
    b = BookStore{};
    int64_t size = platformFileSize(name);
    if (size <= 0) return BOOK_MISSING;
    // Whole records only: bytes past the last one are not read. The table's
    // probing needs a power-of-two count.
    int64_t count = size / 16;
    if (!std::has_single_bit(uint64_t(count))) {
        std::fprintf(stderr,
                     "Book file \"%s\" refused: its length of %lld bytes holds %lld records, not a power of two\n",
                     name, static_cast<long long>(size), static_cast<long long>(count));
        return BOOK_BAD_SIZE;
    }
    if (count > MAX_RECORDS) {
        std::fprintf(stderr, "Book file \"%s\" refused: %lld records is too many\n", name,
                     static_cast<long long>(count));
        return BOOK_BAD_SIZE;
    }
    // Zeroed, so records that a file shrinking under us did not deliver are
    // empty slots.
    auto* e = static_cast<BookRecord*>(std::calloc(size_t(count), sizeof(BookRecord)));
    if (!e) {
        std::fprintf(stderr, "Book file \"%s\": no memory for %lld records\n", name, static_cast<long long>(count));
        return BOOK_NO_MEMORY;
    }
    FILE* f = std::fopen(name, "rb");
    size_t got = f ? std::fread(e, sizeof(BookRecord), size_t(count), f) : 0;
    if (f) std::fclose(f);
    if (got == 0) {
        std::free(e);
        return BOOK_MISSING;
    }
    b.count = int32_t(count);
    b.mask = int32_t(count - 1);
    b.entries = e;
    countUsed(b);
    return BOOK_OK;
}

int writeBookFromMemory(const BookStore& b, const char* name) {
    std::string tmp = std::string(name) + "_tmpX";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "Cannot write book file \"%s\": %s\n", tmp.c_str(), std::strerror(errno));
        return -1;
    }
    size_t put = std::fwrite(b.entries, sizeof(BookRecord), size_t(b.count), f);
    int err = put == size_t(b.count) ? 0 : errno;
    if (std::fflush(f) != 0 && !err) err = errno;
    if (std::fclose(f) != 0 && !err) err = errno;
    if (put != size_t(b.count) || err) {
        // A short file must never replace the book: keep the old one.
        std::fprintf(stderr, "Cannot write book file \"%s\": %s\n", tmp.c_str(),
                     std::strerror(err ? err : EIO));
        std::remove(tmp.c_str());
        return -1;
    }
    if (platformRename(tmp.c_str(), name) != 0) {
        std::fprintf(stderr, "Cannot replace book file \"%s\" with \"%s\": %s\n", name, tmp.c_str(),
                     std::strerror(errno));
        return -1;
    }
    return 0;
}
