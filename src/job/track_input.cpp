#include "job/track_input.h"

#include <array>
#include <concepts>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>

#include "base/thread_name.h"
#include "job/input_families.h"

namespace geoplait {

namespace {

// A record as it comes from its reader: half a position is none, then the
// speed from the record before when it has none of its own, then its
// measured numbers read from its texts (but the speed, by a reader that
// reads them: kValuesRead).
template <typename Reader>
void Arrive(TrackSpeed& speed, TrackPoint& point, std::string_view fallback) {
    DropHalfPosition(point);
    // A speed of the record's own stays as its reader read it.
    const bool speedRead = point.Readings.speedRead && !point.RmcSpeed.empty();
    speed.Fill(point, fallback);
    if constexpr (requires { requires Reader::kValuesRead; }) {
        if (!speedRead) point.Values.speed = ReadingOf(point.RmcSpeed);
    } else {
        ReadRecordValues(point);
    }
}

// What a reader reports beside its records: the tuples it dropped (added to
// the run's count), what it could not use (the most any pass found) and a
// document that broke off.
template <typename Reader>
void TakeReaderReport(RunContext& ctx, const Reader& reader, bool countDropped) {
    if constexpr (requires { reader.Dropped(); }) {
        if (countDropped) ctx.store.OmitCount += reader.Dropped();
        InputLosses dropped;
        dropped.DroppedTuples = reader.Dropped();
        ctx.run.Losses.Merge(dropped);
    }
    if constexpr (requires { reader.Losses(); }) ctx.run.Losses.Merge(reader.Losses());
    if constexpr (requires { reader.Error(); }) ReportBrokenInput(ctx, reader.Error());
}

// What a record without a speed had before speeds were computed, by family.
std::string_view SpeedFallback(ModeKind kind) {
    switch (kind) {
        case ModeKind::Nmea:
        case ModeKind::CsvCustom: return "0";
        case ModeKind::Pot: return "0.0";
        default: return "";
    }
}

// A reader that hands over the texts of a record apart from making the
// record of them (GpxReader::NextTexts and Fill), and what it hands over:
// so that the reading thread does less, and the run makes its records.
template <typename Reader>
concept HandsOverTexts = requires(Reader& reader, typename Reader::PointTexts& texts, TrackPoint& point, size_t n) {
    { reader.NextTexts() } -> std::same_as<typename Reader::PointTexts*>;
    reader.KeepTexts(n);
    Reader::Fill(texts, point);
};
template <typename Reader>
struct TextsOf {
    using type = std::monostate;
};
template <HandsOverTexts Reader>
struct TextsOf<Reader> {
    using type = typename Reader::PointTexts*;
};

// A record read by the reading thread, with what its reader knew then; where
// the run makes it, the reader's texts it is to be made of.
template <typename Texts>
struct ReadRecord {
    TrackPoint point;
    Texts texts;
    AdjustedPosition position;  // made when positions are made ahead
    uint64_t bytesRead = 0;
    bool gaveLast = false;
    bool started = false;  // set up from the state records start in (Start)
};

// Records go from the reading thread to the run in batches, so that the two
// meet once per batch rather than once per record. A batch closes at its
// record count or once its names and extra texts pass a megabyte; with eight
// batches the records in flight stay a few megabytes whatever the input.
constexpr size_t kBatchRecords = 64;
constexpr size_t kBatchBytes = size_t{1} << 20;
constexpr size_t kBatchCount = 8;
// A side that finds nothing to do sleeps until half the batches are there
// for it (or the input ends), so that the faster side is woken once per
// half of them, not once per batch.
constexpr size_t kWakeBatches = kBatchCount / 2;
// A name longer than this is not kept in a slot's spare room once emptied.
constexpr size_t kKeptCapacity = size_t{64} << 10;

template <typename Texts>
struct ReadBatch {
    std::array<ReadRecord<Texts>, kBatchRecords> records;
    size_t count = 0;
};

// The batches, used in turn: the reader fills batch `filled_ % kBatchCount`
// while fewer than kBatchCount are filled and not yet given back; the run
// reads them in the same order. Each side is woken only when it sleeps and
// what it waits for is there.
template <typename Texts>
class ReadQueue {
public:
    // Every record of every batch starts as `start` (Start): the state a
    // reader fills a record from, which a taker leaves the record in after
    // each record. The reader copies it into each slot it fills the first
    // time, so a short input sets up no more slots than it fills.
    explicit ReadQueue(const TrackPoint& start) { CopyRecordTexts(start, start_); }
    const TrackPoint& Start() const { return start_; }

    // The reading side: the batch to fill next, or null once the run stopped.
    ReadBatch<Texts>* Free() {
        std::unique_lock lock(mutex_);
        if (!stopped_ && filled_ - returned_ >= kBatchCount) {
            readerSleeps_ = true;
            readerWakes_.wait(lock, [this] { return stopped_ || filled_ - returned_ <= kBatchCount - kWakeBatches; });
            readerSleeps_ = false;
        }
        return stopped_ ? nullptr : &batches_[filled_ % kBatchCount];
    }
    // The batch Free gave is filled; `end`: no record follows it (or the
    // reader failed with `error`). A batch without records is none.
    void Filled(size_t count, bool end, std::exception_ptr error = nullptr) {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            if (count > 0) ++filled_;
            ended_ = end;
            error_ = error;
            wake = runSleeps_ && (ended_ || filled_ >= runWants_);
        }
        if (wake) runWakes_.notify_one();
    }

    // The run's side: batch n (counted from 0) once it is filled, or null
    // when the input ends before it.
    ReadBatch<Texts>* Full(uint64_t n) {
        std::unique_lock lock(mutex_);
        if (filled_ <= n && !ended_) {
            runWants_ = n + kWakeBatches;
            runSleeps_ = true;
            runWakes_.wait(lock, [this] { return filled_ >= runWants_ || ended_; });
            runSleeps_ = false;
        }
        // A reader that failed ends with the batch it was filling: those
        // before it are read first.
        if (filled_ <= n + 1 && error_ != nullptr) std::rethrow_exception(error_);
        return filled_ > n ? &batches_[n % kBatchCount] : nullptr;
    }
    // Batch n is read: the reader may fill it again.
    void Return() {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            ++returned_;
            wake = readerSleeps_ && filled_ - returned_ <= kBatchCount - kWakeBatches;
        }
        if (wake) readerWakes_.notify_one();
    }
    // The run reads no more: the reader ends at its next batch.
    void Stop() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        readerWakes_.notify_one();
    }

private:
    std::array<ReadBatch<Texts>, kBatchCount> batches_;
    TrackPoint start_;
    std::mutex mutex_;
    std::condition_variable readerWakes_;
    std::condition_variable runWakes_;
    uint64_t filled_ = 0;
    uint64_t returned_ = 0;
    uint64_t runWants_ = 0;     // the run sleeps until this many are filled
    bool readerSleeps_ = false;
    bool runSleeps_ = false;
    bool ended_ = false;
    bool stopped_ = false;
    std::exception_ptr error_;
};

// A record of a batch before it is filled: set up the first time (the
// queue's Start), and rid of a long name's room.
template <typename Texts>
void SetUpRecord(ReadRecord<Texts>& record, const TrackPoint& start) {
    TrackPoint& p = record.point;
    if (p.PointName.empty() && p.PointName.capacity() > kKeptCapacity) std::string().swap(p.PointName);
    if (p.ExtendData.empty() && p.ExtendData.capacity() > kKeptCapacity) std::string().swap(p.ExtendData);
    if (!record.started) CopyRecordTexts(start, p);
    record.started = true;
}

// The reading thread: fills batches from `reader` until the input or the run
// ends. The speeds of records read without one are filled here too, as they
// depend only on the records before. `apart`: the run makes the records
// complete (Arrive) as it takes them; a reader that hands over its texts has
// them handed over, and the records left alone (no line of them goes from
// core to core and back); its texts are capped by the reader, so a batch
// closes at its record count.
template <typename Reader, typename Texts>
void ReadBatches(Reader& reader, ReadQueue<Texts>& queue, TrackSpeed& speed, std::string_view fallback,
                 const PositionsAhead* positions, bool apart) {
    try {
        for (ReadBatch<Texts>* batch = queue.Free(); batch != nullptr; batch = queue.Free()) {
            size_t bytes = 0;
            batch->count = 0;
            bool more = true;
            while (batch->count < kBatchRecords && bytes < kBatchBytes) {
                ReadRecord<Texts>& record = batch->records[batch->count];
                if constexpr (HandsOverTexts<Reader>) {
                    if (apart) {
                        record.texts = reader.NextTexts();
                        more = record.texts != nullptr;
                        if (!more) break;
                        record.bytesRead = reader.BytesRead();
                        ++batch->count;
                        continue;
                    }
                }
                SetUpRecord(record, queue.Start());
                TrackPoint& p = record.point;
                if (!reader.Next(p)) {
                    more = false;
                    break;
                }
                record.bytesRead = reader.BytesRead();
                if constexpr (requires { reader.GaveLast(); }) record.gaveLast = reader.GaveLast();
                if (!apart) Arrive<Reader>(speed, p, fallback);
                if (positions != nullptr) {
                    (void)AdjustOnce(positions->adjust, record.position, p.Position, p.Values.altitude.value,
                                     HemisphereSign(p.RmcNS, p.RmcEW, positions->defaultSigns));
                }
                bytes += p.PointName.size() + p.ExtendData.size();
                ++batch->count;
            }
            queue.Filled(batch->count, !more);
            if (!more) return;
        }
    } catch (...) {
        queue.Filled(0, true, std::current_exception());
    }
}

// Stops and joins the reading thread however the run leaves its records.
template <typename Texts>
struct ReadingThread {
    ReadQueue<Texts>& queue;
    std::thread thread;
    ~ReadingThread() {
        queue.Stop();
        if (thread.joinable()) thread.join();
    }
};

// The record a reading thread's batch held when it was taken last: the
// run's own record takes its texts and numbers before the batch is filled
// again, and however the run leaves its records (a stop, a cancel).
struct TakenLast {
    TrackPoint& own;
    TrackPoint* point = &own;
    void Settle() {
        if (point == &own) return;
        SwapRecordTexts(own, *point);
        CarryRunNumbers(*point, own);
        point = &own;
    }
    ~TakenLast() { Settle(); }
};

// The position made ahead for the record being taken, shown to the writers
// (PositionsAhead) while it is taken and no longer once it is, however the
// taker leaves it: the batch it is in goes back to the reading thread.
struct MadeAheadFor {
    const PositionsAhead* positions;
    MadeAheadFor(const PositionsAhead* p, const AdjustedPosition& made) : positions(p) {
        if (positions != nullptr) *positions->current = &made;
    }
    ~MadeAheadFor() {
        if (positions != nullptr) *positions->current = nullptr;
    }
    MadeAheadFor(const MadeAheadFor&) = delete;
    MadeAheadFor& operator=(const MadeAheadFor&) = delete;
};

// Whether the input is read on a thread of its own while the run derives,
// formats and writes: with two cores or more. GEOPLAIT_READ_THREAD=0 reads
// on the run's thread, as a machine of one core does.
bool ReadsInThread() {
    const char* setting = std::getenv("GEOPLAIT_READ_THREAD");
    if (setting != nullptr && std::string_view(setting) == "0") return false;
    return std::thread::hardware_concurrency() >= 2;
}

// ForEach with the reading on a thread of its own. The first record (and
// the one after it, when the last record is found by reading ahead) is read
// here, as a plain read reads it; the records the thread fills then start as
// the taker leaves the first one (cleared, and with the NMEA defaults where
// the run fills them), as each record of a plain read starts as the taker
// left the one before. `ahead` is the record read ahead. With `make` at
// kWhereTaken, each record is made complete here just before it is taken (a
// reader that hands over its texts has it made of them in the run's own
// record), and no positions are made ahead.
template <typename Reader>
void ForEachReadInThread(RunContext& ctx, Reader& reader, TrackSpeed& speed, std::string_view fallback,
                         const RecordSink& take, bool lookAhead, TrackPoint& ahead,
                         const PositionsAhead* positions, MakeRecords make) {
    using Texts = typename TextsOf<Reader>::type;
    const bool apart = make == MakeRecords::kWhereTaken;
    if (apart) positions = nullptr;
    RunValues& run = ctx.run;
    constexpr bool knowsLast = requires { reader.GaveLast(); };
    const bool readAhead = lookAhead && !knowsLast;
    if (ctx.StopRequested() || !reader.Next(ctx.point)) return;
    ++run.RecordsRead;
    run.InputBytesRead = reader.BytesRead();
    if constexpr (knowsLast) run.LastRecord = lookAhead && reader.GaveLast();
    Arrive<Reader>(speed, ctx.point, fallback);
    bool second = false;
    uint64_t secondBytes = 0;
    if (readAhead) {
        // The record ahead starts as empty as one the taker cleared.
        ClearTrackPoint(ahead);
        ahead.PointName.clear();
        ahead.ExtendData.clear();
        second = reader.Next(ahead);
        secondBytes = reader.BytesRead();
        if (second) Arrive<Reader>(speed, ahead, fallback);
        run.LastRecord = !second;
    }
    take(ctx);
    if (readAhead && !second) return;

    auto queue = std::make_unique<ReadQueue<Texts>>(ctx.point);
    if constexpr (HandsOverTexts<Reader>) {
        // The batches in flight, the one being filled among them, hold no
        // more texts than this.
        if (apart) reader.KeepTexts(kBatchCount * kBatchRecords);
    }
    ReadingThread<Texts> reading{*queue, std::thread([&reader, &q = *queue, &speed, fallback, positions, apart] {
                                     NameThisThread("geoplait-read");
                                     ReadBatches(reader, q, speed, fallback, positions, apart);
                                 })};
    // From here each record is taken where the thread left it, in a section
    // of the run bound to it (no text changes places), and is refilled there
    // once the taker cleared it. The numbers the taker keeps from one record
    // to the next go on from the record taken last; before a batch goes back
    // to the thread, the run's own record takes the last one's place, as a
    // plain read leaves it.
    TakenLast last{ctx.point};
    uint64_t n = 0;
    ReadBatch<Texts>* batch = queue->Full(n);
    if (readAhead) {
        if (ctx.StopRequested()) return;
        ++run.RecordsRead;
        run.InputBytesRead = secondBytes;
        run.LastRecord = batch == nullptr;
        SwapRecordTexts(ctx.point, ahead);
        take(ctx);
    }
    while (batch != nullptr) {
        ReadBatch<Texts>* next = nullptr;
        bool nextKnown = false;
        for (size_t i = 0; i < batch->count; ++i) {
            if (ctx.StopRequested()) return;
            ReadRecord<Texts>& record = batch->records[i];
            ++run.RecordsRead;
            run.InputBytesRead = record.bytesRead;
            if (knowsLast) {
                run.LastRecord = lookAhead && record.gaveLast;
            } else if (readAhead) {
                if (i + 1 < batch->count) {
                    run.LastRecord = false;
                } else {
                    next = queue->Full(n + 1);
                    nextKnown = true;
                    run.LastRecord = next == nullptr;
                }
            }
            if constexpr (HandsOverTexts<Reader>) {
                if (apart) {
                    // Made in the run's own record, as a plain read makes
                    // each (it starts as the taker left the one before): one
                    // record, kept close at hand, not one for each in flight.
                    Reader::Fill(*record.texts, ctx.point);
                    Arrive<Reader>(speed, ctx.point, fallback);
                    take(ctx);
                    continue;
                }
            }
            TrackPoint& point = record.point;
            if (apart) Arrive<Reader>(speed, point, fallback);
            CarryRunNumbers(*last.point, point);
            last.point = &point;
            RunContext taker(ctx, point, ctx.store);
            MadeAheadFor madeAhead{positions, record.position};
            take(taker);
        }
        last.Settle();
        queue->Return();
        ++n;
        batch = nextKnown ? next : queue->Full(n);
    }
}

}  // namespace

bool TrackInput::Open(RunContext& ctx, ModeKind kind, bool toCsvCustom) {
    Close();
    kind_ = kind;
    const InputFamily& family = FamilyOf(kind);
    if (family.open == nullptr) return false;
    return family.open(readers_, ctx.Current().InputFile, {ctx.Current(), ClockOf(ctx.run), ctx.pipeInput},
                       toCsvCustom);
}

void TrackInput::Close() { readers_.emplace<std::monostate>(); }

void TrackInput::ForEach(RunContext& ctx, const RecordSink& take, bool lookAhead, const PositionsAhead* positions,
                         MakeRecords make) {
    RunValues& run = ctx.run;
    speed_.Reset();
    const std::string_view fallback = SpeedFallback(kind_);
    ++run.ProgressPass;
    run.RecordsRead = 0;
    run.ProgressDone = 0;
    run.LastRecord = false;
    std::visit(
        [&](auto& reader) {
            using Reader = std::decay_t<decltype(reader)>;
            if constexpr (!std::is_same_v<Reader, std::monostate>) {
                if (ReadsInThread()) {
                    ForEachReadInThread(ctx, reader, speed_, fallback, take, lookAhead, ahead_, positions, make);
                    run.LastRecord = false;
                } else if (!lookAhead) {
                    while (!ctx.StopRequested() && reader.Next(ctx.point)) {
                        ++run.RecordsRead;
                        run.InputBytesRead = reader.BytesRead();
                        Arrive<Reader>(speed_, ctx.point, fallback);
                        take(ctx);
                    }
                } else if constexpr (requires { reader.GaveLast(); }) {
                    // A reader that knows its last record when it gives it.
                    while (!ctx.StopRequested() && reader.Next(ctx.point)) {
                        ++run.RecordsRead;
                        run.InputBytesRead = reader.BytesRead();
                        run.LastRecord = reader.GaveLast();
                        Arrive<Reader>(speed_, ctx.point, fallback);
                        take(ctx);
                    }
                    run.LastRecord = false;
                } else {
                    // The record ahead starts as empty as one the taker cleared.
                    ClearTrackPoint(ahead_);
                    ahead_.PointName.clear();
                    ahead_.ExtendData.clear();
                    bool have = !ctx.StopRequested() && reader.Next(ctx.point);
                    while (have && !ctx.StopRequested()) {
                        ++run.RecordsRead;
                        run.InputBytesRead = reader.BytesRead();
                        have = reader.Next(ahead_);
                        run.LastRecord = !have;
                        Arrive<Reader>(speed_, ctx.point, fallback);
                        take(ctx);
                        // The taker cleared the record's texts: the one ahead
                        // takes their place, and its place gets them.
                        if (have) SwapRecordTexts(ctx.point, ahead_);
                    }
                    run.LastRecord = false;
                }
                TakeReaderReport(ctx, reader, true);
            }
        },
        readers_);
}

int32_t TrackInput::Count(RunContext& ctx) {
    int32_t count = 0;
    if (FamilyOf(kind_).count == CountRule::Fixes && std::holds_alternative<NmeaReader>(readers_)) {
        count = std::get<NmeaReader>(readers_).CountFixes();
    } else {
        std::visit(
            [&](auto& reader) {
                if constexpr (requires { reader.Skip(); }) {
                    // A reader that can pass over a record counts without building it.
                    while (reader.Skip()) ++count;
                    TakeReaderReport(ctx, reader, false);
                } else if constexpr (!std::is_same_v<std::decay_t<decltype(reader)>, std::monostate>) {
                    while (reader.Next(ctx.point)) {
                        ++count;
                        ClearTrackPoint(ctx.point);
                    }
                    // Dropped tuples are counted by the run that reads them.
                    TakeReaderReport(ctx, reader, false);
                }
            },
            readers_);
    }
    // The names the readers leave behind are the run's to fill.
    ctx.point.PointName.clear();
    ctx.point.ExtendData.clear();
    return count;
}

void ReportBrokenInput(RunContext& ctx, const std::string& error) {
    if (error.empty() || ctx.run.InputErrorShown) return;
    ctx.run.InputErrorShown = true;
    ctx.ui.Show(MakeNotice(Notice::InputBroken, {error}));
    // The records before the break were written; what followed was lost.
    AddRunWarning(ctx, MakeNotice(Notice::InputBrokenWarning, {error}));
}

}  // namespace geoplait
