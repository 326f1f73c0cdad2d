// logfile.h — the leveled game log (LOGFILE.TXT), path conversion and small string helpers
#pragma once
#include <cstdint>

#define LOGFILE_NAME "LOGFILE.TXT"
#define LOG_MESSAGE_SIZE 16384
#define FIX_PATH_MAX 1014

extern uint8_t global_log_level;
// The log is bounded: once it holds global_log_detail_limit bytes, debug and trace lines (levels
// 4 and up) stop, with one line saying so; at twice that nothing more is written, again with one
// line. Both are reset when the log is opened.
#define LOG_DETAIL_LIMIT (32u << 20)
extern uint32_t global_log_detail_limit;
// Bytes written to the log since it was opened.
extern uint32_t global_log_bytes;

uint8_t open_logfile(void);
void close_logfile(void);
void log_message(uint8_t level, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
void log_divider(void);

char *fix_path(const char *filename);
void safe_string_copy(char *destination, const char *source, int size, uint8_t make_uppercase);
void string_uppercase(char *text);
void string_normalcase(char *text);
