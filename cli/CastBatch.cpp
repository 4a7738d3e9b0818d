#include "CastBatch.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <deque>
#include <exception>
#include <istream>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "CastJson.h"

namespace orvenna::cli {

namespace {

// Lines a chunk holds. Its answers take some 3 KB a line, so a chunk's output is below a
// megabyte, and a thread has two chunks in flight: one being cast, one read or written.
constexpr std::size_t ChunkLines = 256;
// A chunk takes no more lines once it holds this many bytes, so that a chunk of long lines
// stays as small as one of short ones.
constexpr std::size_t ChunkBytes = std::size_t{1} << 20;

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

struct BatchLine {
    std::string text;  // at most MaxBatchLineBytes of the line
    bool tooLong = false;
};

struct Chunk {
    std::vector<BatchLine> lines;  // the first `count` are this chunk's; the rest keep storage
    std::size_t count = 0;
    std::size_t firstNumber = 0;  // the input line number of lines[0], from 1
    rapidjson::StringBuffer answers;
    bool anyLineFailed = false;
    bool done = false;           // answered; read and written under the batch's lock
    std::exception_ptr failure;  // what escaped the casting of this chunk, if anything
};

// Reads one line (without its "\n") into `line`, keeping no more than MaxBatchLineBytes of it:
// the rest of a longer line is read and dropped, so no line of any length is held whole.
// False once the input has ended, or when reading broke off (the stream's bad state).
bool readBatchLine(std::istream& in, BatchLine& line) {
    line.text.clear();
    line.tooLong = false;
    char piece[4096];
    bool any = false;
    while (true) {
        in.getline(piece, sizeof piece);
        if (in.bad()) return false;
        const auto extracted = static_cast<std::size_t>(in.gcount());
        const bool pieceFull = in.fail() && !in.eof();  // the line goes on past the piece
        const bool ended = !in.fail();                  // "\n" met, or the last line without one
        const std::size_t stored = ended && !in.eof() ? extracted - 1 : extracted;
        any |= extracted > 0;
        const std::size_t room = MaxBatchLineBytes - line.text.size();
        line.text.append(piece, std::min(stored, room));
        if (stored > room) line.tooLong = true;
        if (!pieceFull) return any;
        in.clear(in.rdstate() & ~std::ios::failbit);
    }
}

// Hands out the input's lines a chunk at a time, numbered from 1; a UTF-8 byte-order mark
// that an editor put before the first line is not part of it.
class LineReader {
public:
    explicit LineReader(std::istream& in) : in_(in) {}

    // Reads up to ChunkLines lines (fewer once ChunkBytes are held) into `chunk`; false when
    // there was none left.
    bool fill(Chunk& chunk) {
        chunk.count = 0;
        chunk.firstNumber = next_;
        if (chunk.lines.size() < ChunkLines) chunk.lines.resize(ChunkLines);
        std::size_t bytes = 0;
        while (chunk.count < ChunkLines && bytes < ChunkBytes && readBatchLine(in_, chunk.lines[chunk.count])) {
            std::string& text = chunk.lines[chunk.count].text;
            if (next_ == 1 && text.starts_with(Utf8Bom)) text.erase(0, Utf8Bom.size());
            bytes += text.size();
            ++chunk.count;
            ++next_;
        }
        return chunk.count != 0;
    }

private:
    std::istream& in_;
    std::size_t next_ = 1;
};

void setField(std::optional<std::string>& field, std::string_view text) {
    if (text.empty()) {
        field.reset();
    } else if (field) {
        field->assign(text);
    } else {
        field.emplace(text);
    }
}

// Everything one thread needs to answer lines, kept from one line and chunk to the next so
// that an answer allocates next to nothing.
class LineCaster {
public:
    explicit LineCaster(const CastClock& clock) : clock_(clock) {}

    void answer(Chunk& chunk) {
        chunk.answers.Clear();
        chunk.anyLineFailed = false;
        for (std::size_t i = 0; i < chunk.count; ++i) {
            const BatchLine& line = chunk.lines[i];
            std::string_view text = line.text;
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            const std::size_t number = chunk.firstNumber + i;
            if (!(line.tooLong ? refuseLine(number, "longer than 1 MiB", chunk.answers)
                               : answerLine(text, number, chunk.answers)))
                chunk.anyLineFailed = true;
            chunk.answers.Put('\n');
        }
    }

private:
    bool answerLine(std::string_view line, std::size_t number, rapidjson::StringBuffer& out) {
        batchLineInput(line, input_);
        makeRequest(input_, clock_, made_);
        const CastInputResult& made = made_;
        if (!made.ok()) {
            // Still one output line for the input line, and it says which line and column.
            message_.assign(made.field).append(": ").append(made.error);
            return refuseLine(number, message_, out);
        }
        castAnalysis(made.request, result_);
        json_.writeCast(out, result_);
        return true;
    }

    // The error line for input line `number`; false, for the failed line.
    bool refuseLine(std::size_t number, std::string_view reason, rapidjson::StringBuffer& out) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        error_.assign("line ");
        error_.append(digits, end);
        error_.append(": ").append(reason);
        json_.writeError(out, error_);
        return false;
    }

    const CastClock& clock_;
    CastInput input_;
    CastInputResult made_;
    CastResult result_;
    CastJsonWriter json_;
    std::string message_;
    std::string error_;
};

void writeChunk(std::ostream& out, Chunk& chunk) {
    out.write(chunk.answers.GetString(), static_cast<std::streamsize>(chunk.answers.GetSize()));
}

BatchOutcome castOnThisThread(std::istream& in, std::ostream& out, const CastClock& clock) {
    BatchOutcome outcome;
    LineCaster caster(clock);
    LineReader reader(in);
    Chunk chunk;
    while (out && reader.fill(chunk)) {
        caster.answer(chunk);
        outcome.anyLineFailed |= chunk.anyLineFailed;
        writeChunk(out, chunk);
    }
    outcome.readFailed = in.bad();
    return outcome;
}

// The reading thread hands chunks to the casting threads through a queue and writes the
// answers back in input order as they are done. A ring of chunks, two a thread, bounds what
// is in flight: a chunk is read into again only once its answers are written.
class ChunkPipeline {
public:
    ChunkPipeline(const CastClock& clock, unsigned jobs) : chunks_(2 * static_cast<std::size_t>(jobs)) {
        threads_.reserve(jobs);
        for (unsigned i = 0; i < jobs; ++i) threads_.emplace_back([this, &clock] { work(clock); });
    }

    ~ChunkPipeline() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        workReady_.notify_all();
        for (std::thread& thread : threads_) thread.join();
    }

    ChunkPipeline(const ChunkPipeline&) = delete;
    ChunkPipeline& operator=(const ChunkPipeline&) = delete;

    BatchOutcome run(std::istream& in, std::ostream& out) {
        BatchOutcome outcome;
        std::size_t read = 0;     // chunks read so far; chunk k lives in slot k % size
        std::size_t written = 0;  // chunks written so far
        LineReader reader(in);
        bool inputEnded = false;
        while (true) {
            while (!inputEnded && read - written < chunks_.size()) {
                Chunk& chunk = chunks_[read % chunks_.size()];
                if (!reader.fill(chunk)) {
                    inputEnded = true;
                    break;
                }
                ++read;
                {
                    const std::lock_guard<std::mutex> lock(mutex_);
                    chunk.done = false;
                    queue_.push_back(&chunk);
                }
                workReady_.notify_one();
            }
            if (written == read) break;
            Chunk& chunk = chunks_[written % chunks_.size()];
            {
                std::unique_lock<std::mutex> lock(mutex_);
                chunkDone_.wait(lock, [&] { return chunk.done; });
            }
            if (chunk.failure) std::rethrow_exception(chunk.failure);
            outcome.anyLineFailed |= chunk.anyLineFailed;
            writeChunk(out, chunk);
            ++written;
            // Output that goes nowhere ends the batch: what is in flight is waited for, no
            // more is read.
            if (!out) inputEnded = true;
        }
        outcome.readFailed = in.bad();
        return outcome;
    }

private:
    void work(const CastClock& clock) {
        LineCaster caster(clock);
        while (true) {
            Chunk* chunk = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                workReady_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) return;
                chunk = queue_.front();
                queue_.pop_front();
            }
            try {
                caster.answer(*chunk);
            } catch (...) {
                chunk->failure = std::current_exception();
            }
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                chunk->done = true;
            }
            chunkDone_.notify_all();
        }
    }

    std::vector<Chunk> chunks_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable chunkDone_;
    std::deque<Chunk*> queue_;
    bool stopping_ = false;
};

}  // namespace

void batchLineInput(std::string_view line, CastInput& input) {
    std::optional<std::string>* const fields[] = {&input.method, &input.input, &input.zodiac, &input.time};
    std::size_t start = 0;
    for (std::optional<std::string>* field : fields) {
        if (start > line.size()) {
            field->reset();
            continue;
        }
        const std::size_t tab = std::min(line.find('\t', start), line.size());
        setField(*field, line.substr(start, tab - start));
        start = tab + 1;
    }
    input.drawTime = false;
}

CastInput batchLineInput(std::string_view line) {
    CastInput input;
    batchLineInput(line, input);
    return input;
}

unsigned defaultBatchJobs() {
    return std::max(1u, std::thread::hardware_concurrency());
}

BatchOutcome castBatch(std::istream& lines, std::ostream& out, const CastClock& clock, unsigned jobs) {
    if (jobs <= 1) return castOnThisThread(lines, out, clock);
    ChunkPipeline pipeline(clock, jobs);
    return pipeline.run(lines, out);
}

}  // namespace orvenna::cli
