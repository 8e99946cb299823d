#pragma once
// The opening book: a table of 16-byte records keyed by the position key, on
// disk exactly as in memory. The report prints what the book's minimax makes of
// the start position; the study grows a book by searching its positions.
#include <bit>
#include <cstdint>

#include "board/types.h"

// Records are written byte for byte, so a book is portable only between
// little-endian machines; every book this program writes is little-endian.
static_assert(std::endian::native == std::endian::little);

struct BookRecord {
    uint64_t key;
    int16_t score;      // from the side to move's view, 0 until searched
    uint16_t depth;     // search effort, 0 = not searched
    uint16_t used;      // 0 = empty slot
    uint16_t reserved;  // always 0
};
static_assert(sizeof(BookRecord) == 16);

struct BookStore {
    int32_t count;  // slots, a power of two
    int32_t mask;
    BookRecord* entries;
    int32_t used;   // slots holding a position
};

constexpr int32_t BOOK_SLOTS = 1 << 20;
constexpr const char* BOOK_FILE = "zarv.book";
constexpr int BOOK_PLIES = 70;  // the study never goes deeper than this

// Effort of every study search (node budget effort x 600,000) and the deepest
// ply the study visits; the developer program lowers them for quick runs.
inline int32_t bookEffort = 60;
inline int32_t bookMaxPly = BOOK_PLIES;

// Results of bookLoad.
enum BookLoadResult : int { BOOK_OK = 0, BOOK_MISSING = 1, BOOK_BAD_SIZE = 2, BOOK_NO_MEMORY = 3 };

// 2^20 empty slots plus the start position; false, with a message on stderr
// and b empty, when there is no memory for them.
bool initBook(BookStore& b);
void freeBook(BookStore& b);
// The slot of p's key: its record, or the empty slot where it would go.
BookRecord* getBookRecord(BookStore& b, const Position& p);
BookRecord* bookProbe(BookStore& b, uint64_t key);
// Whether a new position may still be added: a store never fills past 15/16,
// so probing always meets an empty slot.
bool bookHasRoom(const BookStore& b);
// Writes a record into the probed slot r of key; 0 when r is empty and the
// store has no room for a new position.
int bookPut(BookStore& b, BookRecord* r, uint64_t key, int score, int depth);
// Writes unless the slot holds a deeper search; a new position only while
// there is room. A slot is never emptied (used 0 is ignored): that would cut
// the probe chains running through it.
void addBookItem(BookStore& b, uint64_t key, int16_t score, uint16_t depth, uint16_t used);
// Reads a book file. A missing, unreadable or empty file gives BOOK_MISSING
// silently; a length that is not 16 times a power of two gives BOOK_BAD_SIZE
// with a message on stderr naming the file.
int bookLoad(BookStore& b, const char* name);
// Writes "<name>_tmpX" completely, then renames it over the book, so that the
// book on disk is always either the old one or the new one. 0 on success;
// on failure the old book is left alone and a message goes to stderr.
int writeBookFromMemory(const BookStore& b, const char* name);

struct PvLine;

// Prints the report of the book file: its size and the book's minimax over
// the start position's moves. False, with nothing printed on stdout, when the
// file holds no usable book (bookLoad).
bool book_report(const char* name);
int book_root_search(BookStore& b, const Position& p, PvLine& line);
// Adds the positions along a line of coordinate moves from the start position.
// Returns the number of moves played; stops with a message at a move that is
// not legal or when the store has no room.
int book_insert_alg(BookStore& b, const char* moves);
int book_study(BookStore& b, const Position& p, int plyLimit);
// Studies the book file, rewriting it after every studied position. 0 when the
// study ran to its end, 1 when the book could not be written.
int study_book(const char* name);  // 0; 1 when a write failed; 255 when the book cannot be used
// What a study search leaves in the book: p's score, the best move's position
// and, for a score within 130 of even, the first four candidates' positions.
void bookAddResult(BookStore& b, const Position& p, int score, const PvLine& cands, const PvLine& best);
int bookBeginSearch(Position& p, int effort, int multi, PvLine& out);
int bookNsearchRoot(const Position& p, int depth, int alpha, int beta, PvLine& out, int margin);
