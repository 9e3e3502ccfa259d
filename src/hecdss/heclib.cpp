#include "hecdss/heclib.hpp"

#include <algorithm>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <string_view>

#include "hecdss/dss_error.hpp"
#include "hecdss/dss_file.hpp"
#include "hecdss/dss_pathname.hpp"
#include "hecdss/dss_time.hpp"
#include "hecdss/dss_values.hpp"

namespace {

using hecdss::DssError;
using hecdss::DssErrorKind;
using hecdss::DssFile;

// ifltab[0] marks a table that refers to an open file, ifltab[1] is its number here.
constexpr std::int32_t kTableMark = 0x52464453;

struct Registry {
    std::mutex mutex;
    std::map<std::int32_t, DssFile> files;
    std::int32_t nextNumber = 1;
};

Registry& OpenFiles() {
    static Registry registry;
    return registry;
}

std::string_view Text(const char* text, std::int32_t length) {
    if (text == nullptr || length <= 0) {
        return {};
    }
    return {text, static_cast<std::size_t>(length)};
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) {
        text.remove_suffix(1);
    }
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    return text;
}

// The open file of a table, or null; the caller holds the registry's mutex.
DssFile* FileOf(Registry& registry, const std::int32_t* ifltab) {
    if (ifltab == nullptr || ifltab[0] != kTableMark) {
        return nullptr;
    }
    const auto found = registry.files.find(ifltab[1]);
    return found == registry.files.end() ? nullptr : &found->second;
}

std::int32_t OpenStatus(DssErrorKind kind) {
    switch (kind) {
    case DssErrorKind::CannotOpen:
        return kZopenCannotOpen;
    case DssErrorKind::NotDssFile:
        return kZopenNotDss;
    case DssErrorKind::Locked:
        return kZopenLocked;
    default:
        return kZopenFailed;
    }
}

std::int32_t StoreStatusCode(hecdss::StoreStatus status) {
    switch (status) {
    case hecdss::StoreStatus::Stored:
        return 0;
    case hecdss::StoreStatus::NoValues:
        return kZsrtsNoValues;
    case hecdss::StoreStatus::BadPathname:
        return kZsrtsBadPathname;
    case hecdss::StoreStatus::BadInterval:
        return kZsrtsBadInterval;
    case hecdss::StoreStatus::BadStartTime:
        return kZsrtsBadStart;
    case hecdss::StoreStatus::IncompatibleRecord:
        return kZsrtsIncompatible;
    }
    return kZsrtsWriteFailed;
}

// The ZSRTS_ checks that come before the file is touched; 0 when the input may be stored.
std::int32_t CheckStoreInput(std::string_view pathname, std::int32_t count) {
    if (count < 1) {
        return kZsrtsNoValues;
    }
    const std::string normalized = hecdss::NormalizePathname(pathname);
    const auto parts = hecdss::SplitPathname(normalized);
    if (!parts || normalized.size() < 10 || (*parts)[5].find_first_of(":|") != std::string::npos) {
        return kZsrtsBadPathname;
    }
    if (hecdss::FindInterval((*parts)[4]) == nullptr) {
        return kZsrtsBadInterval;
    }
    return 0;
}

} // namespace

extern "C" {

void ZOPEN_(std::int32_t* ifltab, const char* path, std::int32_t* status, std::int32_t pathLen) {
    if (status == nullptr) {
        return;
    }
    if (ifltab == nullptr) {
        *status = kZopenFailed;
        return;
    }
    try {
        Registry& registry = OpenFiles();
        const std::lock_guard lock(registry.mutex);
        if (FileOf(registry, ifltab) != nullptr) {
            *status = kZopenInUse;
            return;
        }
        const std::string_view name = TrimBlanks(Text(path, pathLen));
        if (name.empty()) {
            *status = kZopenCannotOpen;
            return;
        }
        DssFile file = DssFile::Open(std::string(name));
        const std::int32_t number = registry.nextNumber++;
        registry.files.emplace(number, std::move(file));
        ifltab[0] = kTableMark;
        ifltab[1] = number;
        *status = 0;
    } catch (const DssError& error) {
        *status = OpenStatus(error.Kind());
    } catch (...) {
        *status = kZopenFailed;
    }
}

void ZPATH_(const char* a,
            const char* b,
            const char* c,
            const char* d,
            const char* e,
            const char* f,
            char* pathname,
            std::int32_t* pathLen,
            std::int32_t la,
            std::int32_t lb,
            std::int32_t lc,
            std::int32_t ld,
            std::int32_t le,
            std::int32_t lf,
            std::int32_t lpath) {
    try {
        const std::string built = hecdss::BuildPathname(
            {Text(a, la), Text(b, lb), Text(c, lc), Text(d, ld), Text(e, le), Text(f, lf)});
        const std::size_t field = lpath > 0 ? static_cast<std::size_t>(lpath) : 0;
        const std::size_t length = std::min(built.size(), field);
        if (pathname != nullptr) {
            std::fill(pathname, pathname + field, ' ');
            std::copy(built.begin(), built.begin() + static_cast<std::ptrdiff_t>(length), pathname);
        }
        if (pathLen != nullptr) {
            *pathLen = static_cast<std::int32_t>(length);
        }
    } catch (...) {
        if (pathLen != nullptr) {
            *pathLen = 0;
        }
    }
}

void ZCHKPN_(const char* path, std::int32_t* pathLen, std::int32_t* status, std::int32_t lpath) {
    if (status == nullptr) {
        return;
    }
    std::int32_t length = pathLen != nullptr ? *pathLen : lpath;
    length = std::clamp(length, 0, std::max(lpath, 0));
    *status = hecdss::CheckPathname(Text(path, length));
}

void ZSRTS_(std::int32_t* ifltab,
            const char* path,
            const char* date,
            const char* time,
            std::int32_t* count,
            float* values,
            const char* units,
            const char* type,
            std::int32_t* plan,
            std::int32_t* status,
            std::int32_t lpath,
            std::int32_t ldate,
            std::int32_t ltime,
            std::int32_t lunits,
            std::int32_t ltype) {
    if (status == nullptr) {
        return;
    }
    try {
        Registry& registry = OpenFiles();
        const std::lock_guard lock(registry.mutex);
        DssFile* file = FileOf(registry, ifltab);
        if (file == nullptr) {
            *status = kZsrtsNotOpen;
            return;
        }
        const std::int32_t valueCount = count != nullptr ? *count : 0;
        const std::string_view pathname = TrimBlanks(Text(path, lpath));
        *status = CheckStoreInput(pathname, valueCount);
        if (*status != 0) {
            return;
        }
        const auto julian = hecdss::ParseDate(TrimBlanks(Text(date, ldate)));
        const auto seconds = hecdss::ParseTimeOfDay(TrimBlanks(Text(time, ltime)));
        if (!julian || !seconds) {
            *status = kZsrtsBadStart;
            return;
        }
        if (plan == nullptr || *plan != 0) {
            *status = kZsrtsBadPlan;
            return;
        }
        if (values == nullptr) {
            *status = kZsrtsNoValues;
            return;
        }
        hecdss::RegularSeriesInput input;
        input.pathname = std::string(pathname);
        input.start = {*julian, *seconds};
        input.values.assign(values, values + valueCount);
        input.units = std::string(TrimBlanks(Text(units, lunits)));
        input.type = std::string(TrimBlanks(Text(type, ltype)));
        if (std::all_of(input.values.begin(), input.values.end(), hecdss::IsMissing)) {
            *status = kZsrtsAllMissing;
            return;
        }
        *status = StoreStatusCode(file->StoreRegularSeries(input));
    } catch (const DssError& error) {
        *status =
            error.Kind() == DssErrorKind::Unsupported ? kZsrtsIncompatible : kZsrtsWriteFailed;
    } catch (...) {
        *status = kZsrtsWriteFailed;
    }
}

void ZCLOSE_(std::int32_t* ifltab) {
    (void)CloseDssFileTable(ifltab);
}

} // extern "C"

std::int32_t CloseDssFileTable(std::int32_t* ifltab) {
    if (ifltab == nullptr || ifltab[0] != kTableMark) {
        return 0;
    }
    try {
        Registry& registry = OpenFiles();
        const std::lock_guard lock(registry.mutex);
        const auto found = registry.files.find(ifltab[1]);
        ifltab[0] = 0;
        ifltab[1] = 0;
        if (found == registry.files.end()) {
            return 0;
        }
        DssFile file = std::move(found->second);
        registry.files.erase(found);
        // On failure the destructor still releases the file.
        file.Close();
        return 0;
    } catch (...) {
        return kZcloseFailed;
    }
}
