#pragma once
// The record commands of text-dump: a sample text saved as records, and records loaded and saved.

// Saves the sample text's records (and the terminating zero) to path; 0 on success.
int SaveRecordSample(const char* path);
// Loads the records of path, prints what the text holds, and saves it again to out; 0 on success.
int LoadRecords(const char* path, const char* out);
// Loads the records of path into a frame of the given half width and height, converts an earlier
// file's layout, and prints the frame, the text's size, its lines and every character's place.
int LayOutRecords(const char* path, double xScale, double yScale);
