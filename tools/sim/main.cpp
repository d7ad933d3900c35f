// orx700-sim: the instrument without a window, driven by a script.
#include "SimRecord.h"
#include "SimSession.h"

#include "platform/DateTime.h"
#include "platform/Resources.h"
#include "platform/SafeFile.h"
#include "state/Inifile.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const char* const kUsage = "usage: orx700-sim [--clock \"YYYY-MM-DD HH:MM\"] [--ini FILE] SCRIPT|-\n"
                           "       orx700-sim --record OUT [--clock ...] [--ini FILE] SCRIPT|-\n"
                           "       orx700-sim --resource NAME\n"
                           "\n"
                           "Runs the instrument's firmware under virtual time from a script, one command\n"
                           "per line ('#' starts a comment):\n"
                           "  k1 k1-long k1-hold k2 k2-long k2-hold both none\n"
                           "                 post that key event (k1-long switches the device on)\n"
                           "  down k1|k2     press a key at the current time;  up   release it\n"
                           "  wait MS        let MS milliseconds of virtual time pass\n"
                           "  lang ENG|RUS   switch the language\n"
                           "  keep-alive     the pointer moved over the instrument: while it is on, its\n"
                           "                 power-off count starts anew\n"
                           "  show           print the state as one line of JSON\n"
                           "  show --art     print the LCD as 32 rows of # and . with the key hints\n"
                           "  png FILE [SCALE]\n"
                           "                 write the LCD picture as the window shows it (lit or unlit,\n"
                           "                 with its frame) as a PNG, SCALE (1..16, default 2) times\n"
                           "                 its 254 x 68 pixels\n"
                           "  gif FILE [SCALE]\n"
                           "                 capture every LCD frame from here to gif-end (or the\n"
                           "                 script's end) as an animated GIF that loops, SCALE as for\n"
                           "                 png: frames as long as they were shown in virtual time (in\n"
                           "                 hundredths of a second, the remainder carried on), a frame\n"
                           "                 shorter than 20 ms left out and its time given to the next,\n"
                           "                 equal frames merged, the last held to the end\n"
                           "  gif-end        write the animation\n"
                           "  condition POINT NAME [key=value ...]\n"
                           "                 from the next measurement, the machine at POINT (a route\n"
                           "                 point 1..13, watch, offroute for every off-route point, or\n"
                           "                 hf for HF SP.) is in condition NAME: stored (the stored\n"
                           "                 waveform), good, imbalance, misalignment, looseness,\n"
                           "                 bearing-outer, bearing-inner, bearing-ball, bearing-cage,\n"
                           "                 gear, electrical, vane-pass or resonance, or two at once\n"
                           "                 as A+B; keys rpm (60..30000), velocity (the MEAS velocity\n"
                           "                 RMS, mm/s), noise (0..2), seed, bearing=N,d,D,a, teeth,\n"
                           "                 line (50|60), blades, resonance (Hz), stage (1..4),\n"
                           "                 speed-jitter (%), shares=a,b (see orx700-dsp --help\n"
                           "                 for each key's range). With --ini it is kept in FILE.\n"
                           "  visit N POINT NAME [key=value ...]\n"
                           "                 for the next exercise-save: at its visit N (2..12) the\n"
                           "                 machine at POINT changes to condition NAME (as for\n"
                           "                 condition); it stays so at the later visits until another\n"
                           "                 visit line changes it again\n"
                           "  exercise-save FILE ask=P[,P...] what=condition|zone|both|visit [zone=B|C|D]\n"
                           "                [visits=DATE,DATE...] [time=SECONDS] [title=TEXT]\n"
                           "                 write an exercise from the conditions given so far: the\n"
                           "                 trainee is asked for the condition, the ISO zone or both\n"
                           "                 at route points P (1..13), within SECONDS (0, the default:\n"
                           "                 no limit); TEXT runs to the end of the line. visits= makes\n"
                           "                 a trend exercise of 2..12 visits, each DATE YYYY-MM-DD or\n"
                           "                 YYYY-MM-DDTHH:MM, later than the one before, with the\n"
                           "                 changes of the visit lines; what=visit asks at which visit\n"
                           "                 the point first reached zone= (C by default)\n"
                           "  exercise-link FILE URL\n"
                           "                 print the link that opens exercise FILE in the web edition\n"
                           "                 at URL (http:// or https://): URL#exercise=1.DATA, DATA the\n"
                           "                 file's text as raw deflate in base64url; a refused file as\n"
                           "                 for exercise-open\n"
                           "  exercise-open FILE|LINK\n"
                           "                 switch the device off and start the exercise on a state of\n"
                           "                 its own (the default route, its conditions); a file or a\n"
                           "                 link (one exercise-link printed; its '#' starts no comment)\n"
                           "                 that is refused gets one line on standard error naming it\n"
                           "                 and why, and the script goes on with the state unchanged\n"
                           "  next-visit     in a trend exercise: switch the device off, add what was\n"
                           "                 measured at this visit to the exercise's own measurement\n"
                           "                 database, move the instrument's date to the next visit and\n"
                           "                 apply its conditions, on a fresh route; prints \"visit N of\n"
                           "                 M, DATE\" (at the last visit one line on standard error)\n"
                           "  exercise-db FILE\n"
                           "                 add this visit's readings to the exercise's database and\n"
                           "                 write a copy of it to FILE (the trend so far, for\n"
                           "                 orx700-dsp export); the trainee's own database is never used\n"
                           "  answer P CONDITION [ZONE] | answer P visit=N|never\n"
                           "                 answer asked point P: a condition name as above, A+B for\n"
                           "                 two, or - for none; ZONE A, B, C or D; for a visit question\n"
                           "                 the visit number or never. Once an exercise's\n"
                           "                 time is up (\"time is up\" is printed) the answers stand:\n"
                           "                 a later answer gets one line on standard error\n"
                           "  submit FILE [name=TEXT]\n"
                           "                 score the answers, write the submission (UTF-8 key=value\n"
                           "                 lines, see the README) and print \"score R/N\": R right of N\n"
                           "                 asked points; a point asked for both is right when both are\n"
                           "  exercise-close switch the device off and give back the state from before\n"
                           "                 exercise-open (also done at the end of the script)\n"
                           "Recordings (what --record writes) are scripts too:\n"
                           "  recording N    the recording's format (a later one than this program's is\n"
                           "                 refused)\n"
                           "  clock YYYY-MM-DD HH:MM:SS.mmm\n"
                           "                 set the date and time the firmware reads from now on\n"
                           "  state LINE     one line of the saved state as the ini file holds it;\n"
                           "  state-end      the lines so far become the state the device starts from\n"
                           "                 (only while it is off), machine conditions included\n"
                           "  check LCD STATE\n"
                           "                 compare the LCD and the saved state with these fingerprints\n"
                           "                 (16 hexadecimal digits each: FNV-1a 64 of the LCD's frame\n"
                           "                 buffer and of the state's ini text without the language,\n"
                           "                 the manuals and the measurements' times; while the device\n"
                           "                 is on, the state of its last key wait). A script with check\n"
                           "                 lines ends by printing \"verified\", or \"diverged at line N\"\n"
                           "                 with N the first key line after which the LCD, the state or\n"
                           "                 a measurement's time differed (exit status 1).\n"
                           "  measured POINT YYYY-MM-DD HH:MM:SS.mmm\n"
                           "                 the measurement the state holds at POINT (its ini key: 1..13,\n"
                           "                 OffRouteN) was taken at this time, give or take 2 seconds\n"
                           "                 (a real acquisition ends late by the computer's latency);\n"
                           "                 recordings of format 1 have no such lines: their state\n"
                           "                 fingerprints hold the times\n"
                           "  transfer DB    add every reading the instrument holds (route and off-route\n"
                           "                 points, the WATCH mode's while it shows one) to the\n"
                           "                 measurement database DB (SQLite; created when missing), as\n"
                           "                 the desktop's Transfer to PC does; prints 'transferred N new\n"
                           "                 readings' (a reading already in DB is not added again) or\n"
                           "                 'nothing measured'. The instrument keeps its readings. A DB\n"
                           "                 that is not a measurement database, damaged or from a newer\n"
                           "                 version is refused and left as it is (exit status 2).\n"
                           "  link-out FILE  write the link that opens the instrument's state (as the\n"
                           "                 page's Copy link makes it: #state=1....) to FILE; the\n"
                           "                 device must be off\n"
                           "  link-in FILE   load the state of the link in FILE (a whole address or the\n"
                           "                 fragment); a damaged or later-version link stops the script\n"
                           "The device starts off, in English, from the default state. At the end the\n"
                           "device is switched off as the program does at exit.\n"
                           "--clock sets the date and time the firmware reads (default: now).\n"
                           "--ini FILE loads the saved state from FILE at start and writes it back at\n"
                           "the end, as the program does with its own ini file.\n"
                           "--record OUT writes the run as a recording to OUT: the clock, the starting\n"
                           "state and language, each key press, release and event, language and\n"
                           "condition with the time between them, and a check line after each key and\n"
                           "at the end. Replaying OUT prints \"verified\".\n"
                           "--resource NAME writes an embedded resource (FONT1, FONT2, LANGUAGE_LIST) to\n"
                           "standard output.\n"
                           "Exit status: 0 when all went well; 1 when a replay diverged; 2 for a bad\n"
                           "option or script line, or when the --ini FILE could not be written (the\n"
                           "file is then left as it was).\n";

int Fail(const std::string& message) {
    std::cerr << "orx700-sim: " << message << '\n';
    return 2;
}

bool ParseClock(const std::string& text, double& clock) {
    int year, month, day, hour, minute;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%c", &year, &month, &day, &hour, &minute, &tail) != 5)
        return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || year < 1900)
        return false;
    clock = EncodeDateTime(year, month, day, hour, minute, 0, 0);
    return DecodeDateTime(clock).Day == day; // rejects 31 April and the like
}

// Writes the state back to the --ini file; false, with the reason on
// standard error, when the file is left as it was.
bool SaveState(const std::string& iniPath) {
    TIniSave result;
    if (SaveIniFile(&result)) return true;
    if (result == TIniSave::TooLarge)
        std::cerr << "orx700-sim: the state was not saved: " << iniPath << " would grow past "
                  << MAX_INI_FILE_BYTES << " bytes, more than a start reads; the file is left as it was\n";
    else
        std::cerr << "orx700-sim: could not write " << iniPath << "; the file is left as it was\n";
    return false;
}

} // namespace

int main(int argc, char** argv) {
    double clock = CurrentLocalDateTime();
    std::string scriptPath;
    std::string iniPath;
    std::string recordPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--clock") {
            if (i + 1 >= argc || !ParseClock(argv[i + 1], clock))
                return Fail("--clock needs a date and time as \"YYYY-MM-DD HH:MM\"");
            ++i;
        } else if (arg == "--ini") {
            if (i + 1 >= argc) return Fail("--ini needs a file name");
            iniPath = argv[++i];
        } else if (arg == "--record") {
            if (i + 1 >= argc) return Fail("--record needs a file name");
            recordPath = argv[++i];
        } else if (arg == "--resource") {
            if (i + 1 >= argc) return Fail("--resource needs a resource name");
            const auto bytes = FindResource(argv[i + 1]);
            if (!bytes) return Fail(std::string("no resource named ") + argv[i + 1]);
            std::cout.write(reinterpret_cast<const char*>(bytes->data()),
                            static_cast<std::streamsize>(bytes->size()));
            // A failed write may show only when the buffer goes out.
            if (!std::cout.flush()) return Fail("cannot write to standard output");
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return Fail("unknown option " + arg + " (see --help)");
        } else if (!scriptPath.empty()) {
            return Fail("only one script can be run (see --help)");
        } else {
            scriptPath = arg;
        }
    }
    if (scriptPath.empty()) return Fail("no script given (see --help)");

    std::ifstream file;
    if (scriptPath != "-") {
        file.open(scriptPath);
        if (!file) return Fail("cannot read " + scriptPath);
    }
    std::istream& script = scriptPath == "-" ? std::cin : file;

    if (!iniPath.empty()) LoadIniFile(iniPath);
    std::string error;
    bool ok = false;
    std::string recording;
    std::string verdict;
    bool diverged = false;
    {
        TSimSession session(std::cout, clock);
        if (!recordPath.empty()) session.Record().StartRecording();
        ok = RunSimScript(session, script, error);
        recording = session.Record().FinishRecording();
        verdict = session.Record().Verdict();
        diverged = session.Record().Diverged();
    }
    const bool saved = iniPath.empty() || SaveState(iniPath);
    if (!ok) return Fail(error);
    if (!saved) return 2;
    if (!recordPath.empty() && !ReplaceFile(recordPath, recording, error))
        return Fail("the recording was not written: " + error);
    if (!verdict.empty()) std::cout << verdict << '\n';
    if (!std::cout.flush()) return Fail("cannot write to standard output");
    return diverged ? 1 : 0;
}
