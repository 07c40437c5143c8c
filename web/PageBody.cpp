#include "web/PageBody.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace tandemix {

PageBody::PageBody(std::string path, std::uint64_t cap) : path_(std::move(path)), cap_(cap) {
    Create();
}

PageBody::~PageBody() {
    // A finished body has already been kept or removed; the path may belong to another by now.
    if (!finished_) {
        Discard();
    }
}

bool PageBody::Create() {
    std::remove(path_.c_str());
    // Exclusive creation never follows a link planted in the name's place; the download is
    // not handed to programs the tool starts.
    file_.reset(std::fopen(path_.c_str(), "wbxe"));
    if (!file_) {
        error_ = errno;
    }
    return Ready();
}

void PageBody::Discard() {
    file_.reset();
    std::remove(path_.c_str());
}

bool PageBody::Append(std::string_view bytes) {
    if (!file_ || finished_ || overCap_ || writeFailed_) {
        return false;
    }
    received_ += bytes.size();
    if (received_ > cap_) {
        overCap_ = true;
        return false;
    }
    // The runs between the zeros go to the file's own buffer; nothing else is held.
    while (!bytes.empty()) {
        const std::size_t run = std::min(bytes.find('\0'), bytes.size());
        if (run > 0 && std::fwrite(bytes.data(), 1, run, file_.get()) != run) {
            error_ = errno;
            writeFailed_ = true;
            return false;
        }
        written_ += run;
        bytes.remove_prefix(std::min(run + 1, bytes.size()));
    }
    return true;
}

bool PageBody::Restart() {
    if (finished_) {
        return false;
    }
    received_ = 0;
    written_ = 0;
    overCap_ = false;
    writeFailed_ = false;
    error_ = 0;
    file_.reset();
    return Create();
}

BodyVerdict PageBody::Finish(TransferEnd end) {
    if (finished_) {
        return verdict_;
    }
    finished_ = true;
    // Buffered bytes reach the disk only now, so a full disk may show here first.
    bool closed = false;
    if (file_) {
        closed = std::fclose(file_.release()) == 0;
        if (!closed && error_ == 0) {
            error_ = errno;
        }
    }
    if (!closed || writeFailed_) {
        verdict_ = BodyVerdict::NotWritten;
    } else if (overCap_) {
        verdict_ = BodyVerdict::OverCap;
    } else if (end != TransferEnd::Complete) {
        verdict_ = BodyVerdict::Incomplete;
    } else if (written_ == 0) {
        verdict_ = BodyVerdict::Empty;
    } else {
        verdict_ = BodyVerdict::Stored;
    }
    if (verdict_ != BodyVerdict::Stored) {
        Discard();
    }
    return verdict_;
}

}  // namespace tandemix
