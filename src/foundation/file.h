// file.h — little-endian single-value binary reads and writes, and the one-folder directory search
#pragma once
#include <cstdint>
#include <cstdio>

extern uint8_t file_search_active;
extern char *global_file_search_result;

void file_write_byte(FILE *file, uint8_t value);
void file_write_short(FILE *file, uint16_t value);
void file_write_float(FILE *file, float value);
uint8_t file_read_byte(FILE *file);
uint16_t file_read_short(FILE *file);
float file_read_float(FILE *file);

uint8_t finding_files(const char *search_directory);
char *find_first_file(const char *directory);
char *find_next_file(void);
void find_close(void);
