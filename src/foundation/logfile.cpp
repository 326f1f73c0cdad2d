// logfile.cpp — the leveled game log, the platform path converter and the string helpers
#include "foundation/logfile.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "foundation/platform.h"

uint8_t global_log_level = 5;
uint32_t global_log_detail_limit = LOG_DETAIL_LIMIT;
uint32_t global_log_bytes = 0;
static uint8_t logfile_detail_stopped = 0, logfile_full = 0;

static FILE *logfile = nullptr;
static uint8_t logfile_exit_handler_registered = 0;

static void close_logfile_at_exit(void) { close_logfile(); }

uint8_t open_logfile(void) {
    if (logfile) return 1;
    logfile = fopen(LOGFILE_NAME, "w");
    if (!logfile) return 0;
    global_log_bytes = 0;
    logfile_detail_stopped = logfile_full = 0;
    if (!logfile_exit_handler_registered) {
        atexit(close_logfile_at_exit);
        logfile_exit_handler_registered = 1;
    }
    return 1;
}

void close_logfile(void) {
    if (!logfile) return;
    fclose(logfile);
    logfile = nullptr;
}

void log_message(uint8_t level, const char *format, ...) {
    if (level != 0 && level > global_log_level) return;
    if (!logfile || logfile_full) return;
    if (logfile_detail_stopped && level >= 4) return;
    const char *prefix = "";
    switch (level) {
        case 1: prefix = "Error:"; break;
        case 2: prefix = "Warn :"; break;
        case 3: prefix = "Info :"; break;
        case 4: prefix = "Debug:"; break;
        case 5: prefix = "Trace:"; break;
        default: break;
    }
    // vsnprintf cuts an overlong message at the buffer's end instead of overflowing it.
    static char message[LOG_MESSAGE_SIZE];
    va_list arguments;
    va_start(arguments, format);
    int written = vsnprintf(message, sizeof(message), format, arguments);
    va_end(arguments);
    if (written < 0) message[0] = 0;
    int length = fprintf(logfile, "%s%s\n", prefix, message);
    if (length > 0) global_log_bytes += (uint32_t)length;
    // Twice the limit is far beyond what the lines that are still written add up to in a game.
    uint32_t limit = global_log_detail_limit;
    if (!logfile_full && global_log_bytes >= limit * 2u) {
        fprintf(logfile, "Warn :The log holds %u bytes; nothing more is written to it in this game\n",
                (unsigned)global_log_bytes);
        logfile_full = 1;
    } else if (!logfile_detail_stopped && global_log_bytes >= limit) {
        length = fprintf(logfile,
                         "Warn :The log holds %u bytes; debug and trace lines stop here, errors, warnings "
                         "and progress are still written\n",
                         (unsigned)global_log_bytes);
        if (length > 0) global_log_bytes += (uint32_t)length;
        logfile_detail_stopped = 1;
    }
    fflush(logfile);
}

void log_divider(void) { log_message(0, "--------------------------------------------------------"); }

char *fix_path(const char *filename) { return platform_fix_path(filename); }

void safe_string_copy(char *destination, const char *source, int size, uint8_t make_uppercase) {
    if (size <= 0 || !destination) return;
    int i = 0;
    if (source) {
        for (; i < size - 1 && source[i]; i++) {
            unsigned char c = (unsigned char)source[i];
            destination[i] = make_uppercase ? (char)toupper(c) : (char)c;
        }
    }
    destination[i] = 0;
}

void string_uppercase(char *text) {
    if (!text) return;
    for (; *text; text++) *text = (char)toupper((unsigned char)*text);
}

void string_normalcase(char *text) {
    if (!text) return;
    for (int i = 0; text[i]; i++) {
        if (text[i] == '-') text[i] = ' ';
        unsigned char c = (unsigned char)text[i];
        if (i == 0 || text[i - 1] == ' ')
            text[i] = (char)toupper(c);
        else
            text[i] = (char)tolower(c);
    }
}
