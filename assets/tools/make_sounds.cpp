// make_sounds: writes the program's three sounds into a folder, as the build's program folder
// needs them: qn.qns (the start-up chime), click.qns (the click of buttons and labels) and
// music.qns (the About window's tune, restarted every 7.1 s, so it must end before that).
//
// The sounds are synthesised rather than recorded so that the repository holds no binary
// files and the sounds can be tuned by editing numbers. Each is a plain PCM wave file (16-bit,
// mono, 22050 Hz): the format every sound player accepts.
//
// Usage: make_sounds OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 22050;

// One partial of a tone: a multiple of the note's frequency, its loudness relative to the
// fundamental, and how much faster than the fundamental it dies away. Bells and pianos lose
// their upper partials first; that is what keeps these sounds soft instead of buzzing.
struct Partial
{
    double multiple;
    double loudness;
    double decaySpeedUp;
};

struct Timbre
{
    std::vector<Partial> partials;
    double decaySeconds;   // time for the fundamental to fall to 1/e
    double attackSeconds;  // a short rise keeps the start of a note from clicking
    double releaseSeconds; // the fade at the note's end, for the same reason
};

struct Note
{
    double startSeconds;
    double lengthSeconds;
    double frequency;
    double loudness;
};

using Samples = std::vector<double>;

double frequencyOfMidiNote(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// Adds one note to the mix. The note may ring past the end of the sound: it is cut there.
void addNote(Samples& mix, const Note& note, const Timbre& timbre)
{
    const auto first = static_cast<std::size_t>(note.startSeconds * kSampleRate);
    const auto count = static_cast<std::size_t>(note.lengthSeconds * kSampleRate);
    for (std::size_t i = 0; i < count && first + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        double envelope = std::min(1.0, t / timbre.attackSeconds);
        const double untilEnd = note.lengthSeconds - t;
        if (untilEnd < timbre.releaseSeconds)
            envelope *= untilEnd / timbre.releaseSeconds;
        double value = 0.0;
        for (const Partial& partial : timbre.partials) {
            const double decay = std::exp(-t * partial.decaySpeedUp / timbre.decaySeconds);
            value += partial.loudness * decay *
                     std::sin(2.0 * std::numbers::pi * note.frequency * partial.multiple * t);
        }
        mix[first + i] += note.loudness * envelope * value;
    }
}

// Scales the mix so that its loudest sample reaches `peak` (of full scale), which keeps the
// three sounds at one loudness and away from clipping.
void normalise(Samples& mix, double peak)
{
    double loudest = 0.0;
    for (const double sample : mix)
        loudest = std::max(loudest, std::abs(sample));
    if (loudest > 0.0)
        for (double& sample : mix)
            sample *= peak / loudest;
}

// Start-up chime, 1.5 s: a rising E major arpeggio of four bell notes ringing together.
Samples startUpChime()
{
    Samples mix(static_cast<std::size_t>(1.5 * kSampleRate), 0.0);
    const Timbre bell{
        {{1.0, 1.0, 1.0}, {2.0, 0.35, 2.0}, {3.0, 0.12, 3.5}, {4.2, 0.05, 5.0}}, 0.45, 0.004, 0.08};
    const int notes[] = {76, 80, 83, 88}; // E5 G#5 B5 E6
    for (int i = 0; i < 4; ++i) {
        const double start = 0.11 * i;
        addNote(mix, {start, 1.5 - start, frequencyOfMidiNote(notes[i]), 1.0 - 0.1 * i}, bell);
    }
    normalise(mix, 0.7);
    return mix;
}

// Click, 40 ms: a tick of a few milliseconds, a high tone that dies at once over a short
// burst of noise. The noise comes from a fixed sequence so that every build writes the same
// file.
Samples click()
{
    Samples mix(static_cast<std::size_t>(0.040 * kSampleRate), 0.0);
    const Timbre tick{{{1.0, 1.0, 1.0}, {2.3, 0.4, 1.6}}, 0.004, 0.0003, 0.005};
    addNote(mix, {0.0, 0.040, 1800.0, 1.0}, tick);
    std::uint32_t noise = 12345;
    const auto burst = static_cast<std::size_t>(0.003 * kSampleRate);
    for (std::size_t i = 0; i < burst; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double white = static_cast<double>(noise >> 8) / (1u << 24) * 2.0 - 1.0;
        mix[i] += 0.5 * white * (1.0 - static_cast<double>(i) / burst);
    }
    normalise(mix, 0.6);
    return mix;
}

// The About window's tune: four bars in C major (C, A minor, F, G to C) at 0.42 s a beat, a
// soft piano melody over a broken chord, 6.9 s in all so that it has died away before the
// window starts it again.
Samples aboutTune()
{
    constexpr double kBeat = 0.42;
    Samples mix(static_cast<std::size_t>(6.9 * kSampleRate), 0.0);
    const Timbre piano{{{1.0, 1.0, 1.0}, {2.0, 0.25, 1.8}, {3.0, 0.08, 2.6}}, 0.9, 0.006, 0.09};
    const Timbre bass{{{1.0, 1.0, 1.0}, {2.0, 0.15, 1.5}}, 1.3, 0.010, 0.15};

    struct TuneNote
    {
        double beat;
        double beats;
        int midiNote;
    };
    const TuneNote melody[] = {
        {0, 1, 76},  {1, 1, 79},  {2, 1.5, 84},  {3.5, 0.5, 83},  // E G C' B
        {4, 1, 81},  {5, 1, 79},  {6, 2, 76},                     // A G E
        {8, 1, 77},  {9, 1, 81},  {10, 1.5, 79}, {11.5, 0.5, 77}, // F A G F
        {12, 1, 76}, {13, 1, 74}, {14, 2.4, 72},                  // E D C
    };
    for (const TuneNote& note : melody)
        addNote(mix,
                {note.beat * kBeat, note.beats * kBeat, frequencyOfMidiNote(note.midiNote), 0.55},
                piano);

    // Each bar: its root low on the first beat, then the chord broken upwards on the others.
    // The last bar's upper notes (G, E) already belong to the C chord the tune ends on.
    const int chords[][4] = {
        {48, 55, 60, 64}, {45, 52, 57, 60}, {41, 48, 53, 57}, {43, 50, 55, 64}};
    for (int bar = 0; bar < 4; ++bar) {
        const double barStart = 4 * bar * kBeat;
        addNote(mix, {barStart, 4 * kBeat, frequencyOfMidiNote(chords[bar][0]), 0.45}, bass);
        for (int beat = 1; beat < 4; ++beat)
            addNote(mix,
                    {barStart + beat * kBeat, (4 - beat) * kBeat,
                     frequencyOfMidiNote(chords[bar][beat]), 0.18},
                    piano);
    }
    // The last bar resolves: a low C under the melody's final note.
    addNote(mix, {14 * kBeat, 6.9 - 14 * kBeat, frequencyOfMidiNote(36), 0.4}, bass);
    normalise(mix, 0.6);
    return mix;
}

void putLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

// A RIFF wave file: the 44-byte header of uncompressed PCM, then the samples, written byte by
// byte in little-endian order whatever the machine's own order.
bool writeWaveFile(const std::string& fileName, const Samples& mix)
{
    constexpr std::uint32_t kBytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(mix.size() * kBytesPerSample);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    putLittleEndian(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLittleEndian(out, 16, 4); // size of the format block
    putLittleEndian(out, 1, 2);  // PCM
    putLittleEndian(out, 1, 2);  // mono
    putLittleEndian(out, kSampleRate, 4);
    putLittleEndian(out, kSampleRate * kBytesPerSample, 4); // bytes a second
    putLittleEndian(out, kBytesPerSample, 2);               // bytes a frame
    putLittleEndian(out, 16, 2);                            // bits a sample
    out += "data";
    putLittleEndian(out, dataBytes, 4);
    for (const double sample : mix) {
        const long value = std::lround(std::clamp(sample, -1.0, 1.0) * 32767.0);
        putLittleEndian(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(value)), 2);
    }
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    return !file.fail();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const struct
    {
        const char* name;
        Samples samples;
    } sounds[] = {{"qn.qns", startUpChime()}, {"click.qns", click()}, {"music.qns", aboutTune()}};
    for (const auto& sound : sounds) {
        const std::string fileName = folder + "/" + sound.name;
        if (!writeWaveFile(fileName, sound.samples)) {
            std::fprintf(stderr, "make_sounds: cannot write %s\n", fileName.c_str());
            return 1;
        }
    }
    return 0;
}
