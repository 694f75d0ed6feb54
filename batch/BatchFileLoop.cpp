#include "BatchFileLoop.h"

BatchFileLoop::BatchFileLoop (BatchOperation& operationToRun, const std::atomic<bool>* cancelFlag,
                              std::function<void (int, int)> progressCallback)
    : operation (operationToRun),
      cancel (cancelFlag),
      progress (std::move (progressCallback))
{
}

juce::String BatchFileLoop::outsideReason (const PlannedFile& planned)
{
    return "it leads to " + planned.detail + ", outside the folder: not backed up, not changed";
}

juce::String BatchFileLoop::aliasReason (const PlannedFile& planned)
{
    return "the same file as " + planned.detail + ", processed under that name";
}

BatchFileLoop::End BatchFileLoop::run (const std::vector<PlannedFile>& plan, const Handler& handler)
{
    // Parsing the next files overlaps converting and writing this one.
    const auto ahead = FileReadAhead::startFor (operation, plan);
    bool stopped = false;
    int filesDone = 0;

    for (const auto& planned : plan)
    {
        if (isCancelled())
            return End::cancelled;

        if (stopped)
        {
            if (! planned.isSkipped (operation.createsMissingFiles()))
            {
                Step step { planned, Step::Kind::notReached, {}, {}, {}, {}, {}, {} };
                handler.fileDone (step);
            }
        }
        else
        {
            auto step = stepOf (planned, ahead.get(), handler);
            if (step.has_value())
            {
                // An evaluation stopped by a cancel left its file as it was.
                if (step->kind == Step::Kind::stopped && isCancelled())
                {
                    step->kind = Step::Kind::cancelled;
                    handler.fileDone (*step);
                    return End::cancelled;
                }

                const bool goOn = handler.fileDone (*step) && step->kind != Step::Kind::stopped;
                if (ahead != nullptr)
                    ahead->giveBack (std::move (step->original));
                if (! goOn)
                {
                    if (! handler.listsFilesAfterStop)
                        return End::stopped;
                    stopped = true;
                }
            }
        }

        if (progress)
            progress (++filesDone, (int) plan.size());
    }

    return stopped ? End::stopped : End::completed;
}

std::optional<BatchFileLoop::Step> BatchFileLoop::stepOf (const PlannedFile& planned, FileReadAhead* ahead, const Handler& handler)
{
    if (planned.kind == PlannedFile::Kind::process)
        return processedStep (planned, prepare (planned, ahead), handler);
    if (planned.isSkipped (operation.createsMissingFiles()))
        return std::nullopt;
    if (handler.fileStarts)
        handler.fileStarts (planned);
    return stepFor (planned, std::nullopt);
}

std::optional<BatchFileLoop::Step> BatchFileLoop::processedStep (const PlannedFile& planned, FileReadAhead::PreparedFile prepared,
                                                                const Handler& handler)
{
    // A file is opened once: what is found there decides whether it is
    // passed over, and is what the run reads and writes.
    if (isGone (prepared))
        return std::nullopt;

    if (! prepared.lookPending)
    {
        if (handler.fileStarts)
            handler.fileStarts (planned);
        std::optional<Step> step (stepFor (planned, std::move (prepared)));
        writeIfItWrites (*step, handler);
        return step;
    }

    // Bytes from the backup copy are checked against the file where its
    // name is looked at anyway: by the write, or by one look when nothing
    // is written. A file changed since its backup is read again and its
    // edit worked on; one gone since is passed over without a word, so the
    // file is announced only then.
    std::optional<Step> step (stepFor (planned, std::move (prepared)));
    if (! stillAsRead (*step, handler))
    {
        auto again = prepare (planned, nullptr, FileReadAhead::CopyCheck::now);
        if (isGone (again))
            return std::nullopt;
        step.emplace (stepFor (planned, std::move (again)));
        writeIfItWrites (*step, handler);
    }
    if (handler.fileStarts)
        handler.fileStarts (planned);
    return step;
}

bool BatchFileLoop::stillAsRead (Step& step, const Handler& handler)
{
    if (step.writes() && handler.write)
    {
        handler.write (step);
        // A write refused on what the copy's state said (read-only, say) is
        // only final if the file still has that state.
        if (step.nameChanged || step.rewrite.result.wasOk())
            return ! step.nameChanged;
    }
    return step.planned.currentState().isUnchangedFrom (step.readAs);
}

void BatchFileLoop::writeIfItWrites (Step& step, const Handler& handler)
{
    if (step.writes() && handler.write)
        handler.write (step);
}

bool BatchFileLoop::isGone (const FileReadAhead::PreparedFile& prepared) const
{
    return ! operation.createsMissingFiles() && prepared.isGone();
}

FileReadAhead::PreparedFile BatchFileLoop::prepare (const PlannedFile& planned, FileReadAhead* ahead, FileReadAhead::CopyCheck check) const
{
    try
    {
        return FileReadAhead::obtain (ahead, operation, planned, check);
    }
    catch (const std::bad_alloc&)
    {
    }
    catch (const std::length_error&)
    {
    }
    // A file too large for this process fails alone; the run goes on with the next.
    FileReadAhead::PreparedFile failed;
    failed.file = planned.file;
    failed.read = juce::Result::fail ("not enough memory");
    return failed;
}

void BatchFileLoop::failForMemory (Step& step)
{
    // A file too large for this process fails alone; the run goes on with the next.
    step.kind = Step::Kind::readFailed;
    step.reason = "not enough memory";
    step.original = {};
    step.rewrite = {};
}

BatchFileLoop::Step BatchFileLoop::stepFor (const PlannedFile& planned, std::optional<FileReadAhead::PreparedFile> prepared)
{
    Step step { planned, Step::Kind::rewritten, {}, {}, {}, {}, {}, {} };
    switch (planned.kind)
    {
        case PlannedFile::Kind::outside:
            step.kind = Step::Kind::outside;
            step.reason = outsideReason (planned);
            return step;
        case PlannedFile::Kind::alias:
            step.kind = Step::Kind::alias;
            step.reason = aliasReason (planned);
            return step;
        case PlannedFile::Kind::process:
            break;
    }

    jassert (prepared.has_value());
    step.readAs = prepared->state;
    try
    {
        if (prepared->read.failed())
        {
            step.kind = Step::Kind::readFailed;
            step.reason = prepared->read.getErrorMessage();
            return step;
        }

        step.original = std::move (prepared->bytes);
        step.gzip = std::move (prepared->gzip);
        step.rewrite = operation.rewrite (planned.file, step.original, prepared->analysis.get(), step.readAs);
    }
    catch (const BatchOperation::StopRun& stop)
    {
        step.kind = Step::Kind::stopped;
        step.stop = stop;
    }
    catch (const std::bad_alloc&)
    {
        failForMemory (step);
    }
    catch (const std::length_error&)
    {
        failForMemory (step);
    }
    return step;
}
