#pragma once
// The exercise file: UTF-8 text, one key=value per line after a first line
// that names the format. Version 1:
//   ORX-700 exercise
//   version=1
//   title=TEXT              (\n, \r and \\ escaped, as in every text value)
//   instructions=TEXT
//   time-limit=SECONDS      (0: none)
//   machine.M=GROUP         (M 1..3; 2-rigid, 2-flexible, 1-rigid, 1-flexible)
//   ask.P=condition|zone|both
//   hint.P=TEXT             (optional, for an asked point P)
//   hidden=BASE64           (the conditions, as the ini's [MachineConditions]
//                            lines, scrambled: HiddenText.h)
//   check=HEX               (ContentHash of every line before it, LF-joined)
// Version 2, an exercise of several visits, adds after each visit question
//   ask.P=visit
//   reach.P=B|C|D           (the zone whose first visit is asked)
// and before the hidden line, for each visit N from 1
//   visit.N=YYYY-MM-DD HH:MM
// and to the hidden lines each later visit's changes, as visit.N.SOURCE=...
// An exercise without visits is written as version 1, byte for byte.
// Every key once, in this order. The check line tells a file cut short or
// changed by hand from a sound one; a file of a later version is refused,
// since it may hold what this one cannot show.
#include "training/Exercise.h"

#include <cstddef>
#include <string>
#include <vector>

inline constexpr int EXERCISE_FILE_VERSION = 2;
inline constexpr std::size_t MAX_EXERCISE_FILE_BYTES = 256 * 1024;

// The file's text. exercise must pass CheckExercise.
std::string FormatExercise(const TExercise& exercise);

// Fills exercise from text and returns 0, or returns the reason as a string
// id (TEXT_EXERCISE_FOREIGN, _DAMAGED, _TRUNCATED, _FUTURE) and leaves
// exercise as it was.
int ParseExercise(const std::string& text, TExercise& exercise);

// Reads path as ParseExercise does; TEXT_EXERCISE_UNREADABLE when it is
// missing, not a regular file, unreadable or past MAX_EXERCISE_FILE_BYTES.
int ReadExerciseFile(const std::string& path, TExercise& exercise);

// 16 hexadecimal digits that name the exercise's content: equal for two
// exercises only when every field is equal, whatever line ends a copy of the
// file has been given.
std::string ExerciseFingerprint(const TExercise& exercise);

// \n, \r and \ written as \n, \r and \\; other bytes as they are.
std::string EscapeValue(const std::string& text);
// The other way; false for a lone backslash or an unknown escape.
bool UnescapeValue(const std::string& text, std::string& out);
// The text's lines, LF, CRLF or CR ended, a UTF-8 byte-order mark dropped.
std::vector<std::string> SplitTextLines(const std::string& text);
