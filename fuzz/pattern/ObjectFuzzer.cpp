// Drives one RegularExpression through its setters and operations with
// arbitrary values in an arbitrary order, handlers changing the object while
// it runs, and checks what the interface promises:
//  - a setter given a value outside its enumeration, or called while the
//    object is busy (LocaleModel), leaves the object as it was; MaximumSplits
//    saturates at 32 bits; options outside their range change nothing;
//  - the object stores and loads back equal to itself, and copies compare
//    equal;
//  - file operations never find, search or change the component's temporary
//    files and leave none behind, nor copies of old texts in the temporary
//    folder.
// File operations run in a private folder made at start, refilled for every
// input that runs one; the wildcard never leaves it.
#include <patternkit/RegularExpression.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "StoredAndLoaded.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;
using RE = RegularExpression;

constexpr std::size_t kMaxText = 256;
constexpr std::size_t kMaxName = 12;
constexpr int kMaxSteps = 24;
constexpr int kMaxDepth = 2;
const char* const kOwnTemporary = ".changing-Ab12Cd";

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// Removed with the process's static objects when the fuzzer ends.
struct Folders {
    Folders()
    {
        Check(!files.Path().empty() && !temporary.Path().empty());
        setenv("TMP", temporary.Path().c_str(), 1);
    }
    ScratchFolder files;
    ScratchFolder temporary;  // $TMP: where copies of old texts would go
};

const Folders& TheFolders()
{
    static const Folders folders;
    return folders;
}

// A few files of every kind the write-out treats apart: plain, in a subfolder,
// with a second hard link, behind a symbolic link, read-only, and one of the
// component's own temporary files.
void RefillFolder(const std::string& text)
{
    const fs::path& root = TheFolders().files.Path();
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(root))
        fs::remove_all(entry.path(), ignored);
    WriteBytes(root / "a.txt", text);
    WriteBytes(root / "b.dat", "one two three " + text);
    fs::create_directory(root / "sub");
    WriteBytes(root / "sub" / "c.txt", text + text);
    fs::create_hard_link(root / "a.txt", root / "a-link.txt", ignored);
    fs::create_symlink(root / "b.dat", root / "sub" / "b-symlink.dat", ignored);
    WriteBytes(root / "locked.txt", text);
    fs::permissions(root / "locked.txt", fs::perms::owner_read, ignored);
    WriteBytes(root / kOwnTemporary, text);
}

bool LeftoversIn(const fs::path& folder)
{
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".changing-", 0) == 0 && name != kOwnTemporary)
            return true;
    }
    return false;
}

std::string Name(FuzzedDataProvider& in)
{
    std::string name = in.ConsumeRandomLengthString(kMaxName);
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

class Driver {
public:
    explicit Driver(FuzzedDataProvider& in) : m_in(in), m_fileText(in.ConsumeRandomLengthString(kMaxText))
    {
        auto plain = [this](RE* self, const REMatchList&, unsigned, unsigned) { FromHandler(*self); };
        auto withMore = [this](RE* self, const REMatchList&, unsigned, unsigned, bool& more) {
            FromHandler(*self);
            more = m_in.ConsumeBool();
        };
        auto file = [this](RE* self, const CString& name, const REMatchList&, unsigned, bool& more) {
            Check(name.find(kOwnTemporary) == CString::npos);
            FromHandler(*self);
            more = m_in.ConsumeBool();
        };
        m_re.OnMatching.Hook(this, plain);
        m_re.OnSearching.Hook(this, plain);
        m_re.OnGrepping.Hook(this, withMore);
        m_re.OnMerging.Hook(this, withMore);
        m_re.OnGreppingFiles.Hook(this, file);
        m_re.OnChangingFiles.Hook(this, file);
        m_re.OnFindFiles.Hook(this, [this](RE*, const CString& name, bool& more) {
            Check(name.find(kOwnTemporary) == CString::npos);
            more = m_in.ConsumeBool();
        });
    }

    void Run()
    {
        for (int step = 0; step < kMaxSteps && m_in.remaining_bytes() > 0; ++step)
            Step(m_re, false);
        const std::unique_ptr<RE> loaded = StoredAndLoaded(m_re);
        Check(loaded && *loaded == m_re);
        const RE copy(m_re);
        Check(copy == m_re);
    }

private:
    // A handler's turn: the same steps, on a busy object, not too deep.
    void FromHandler(RE& re)
    {
        if (m_depth >= kMaxDepth || !m_in.ConsumeBool())
            return;
        ++m_depth;
        Step(re, true);
        --m_depth;
    }

    void Step(RE& re, bool inHandler)
    {
        switch (m_in.ConsumeIntegralInRange(0, 17)) {
        case 0: re.SetExpression(m_in.ConsumeRandomLengthString(kMaxText / 4)); break;
        case 1: re.SetStringToMatch(m_in.ConsumeRandomLengthString(kMaxText)); break;
        case 2: re.SetFormatString(m_in.ConsumeRandomLengthString(kMaxName)); break;
        case 3: re.SetFilesToMatch(TheFolders().files / Name(m_in)); break;
        case 4:
            if (m_in.ConsumeBool())
                re.SetSaveExtension(Name(m_in));
            else
                re.SetLocaleDll(Name(m_in));
            break;
        case 5: SetEnumerations(re); break;
        case 6: {
            const unsigned long count = m_in.ConsumeIntegral<unsigned long>();
            re.SetMaximumSplits(count);
            Check(re.GetMaximumSplits() == std::min<unsigned long>(count, 0xFFFFFFFFul));
            break;
        }
        case 7: {
            const bool on = m_in.ConsumeBool();
            switch (m_in.ConsumeIntegralInRange(0, 4)) {
            case 0: re.SetDirectoryRecursion(on); break;
            case 1: re.SetContinueFiles(on); break;
            case 2: re.SetMergeCopy(on); break;
            case 3: re.SetMergeOnlyFirst(on); break;
            default: re.SetSplitInputDelete(on); break;
            }
            break;
        }
        case 8: ChangeOptions(re); break;
        case 9: re.SetLocale(m_in.ConsumeBool() ? std::locale::classic() : std::locale()); break;
        case 10: {
            const RE::ExpressionErrorCode code = re.ParseExpression();
            Check(code != 15 && (code == RE::errNone || !re.GetExpressionError().empty()));
            Check(re.NumberOfSubexpressions() == static_cast<const RE&>(re).NumberOfSubexpressions());
            break;
        }
        case 11:
            re.Match();
            re.MatchAll();
            re.Search();
            break;
        case 12: re.Grep(); break;
        case 13: {
            CString merged;
            re.Merge(merged);
            CString formatted;
            re.Format(formatted);
            Check(inHandler || formatted.empty());
            break;
        }
        case 14: {
            CStringArray parts{"stale"};
            Check(re.Split(parts) == parts.size());
            break;
        }
        case 15: FileOperation(re); break;
        case 16: {
            RE other;
            other = re;
            Check(other == re);
            break;
        }
        default: {
            const std::string text = re.GetStringToMatch();
            Check(text.find('\0') == std::string::npos);
            break;
        }
        }
    }

    // Any int: an enumerator takes effect (LocaleModel not while an operation
    // runs), any other value changes nothing.
    void SetEnumerations(RE& re)
    {
        const int type = m_in.ConsumeIntegral<int>();
        const RE::FormatTypes formatBefore = re.GetFormatType();
        re.SetFormatType(static_cast<RE::FormatTypes>(type));
        const bool typeValid = type >= RE::formatAll && type <= RE::formatPerl;
        Check(re.GetFormatType() == (typeValid ? type : formatBefore));

        const int model = m_in.ConsumeIntegral<int>();
        const RE::LocaleModels modelBefore = re.GetLocaleModel();
        re.SetLocaleModel(static_cast<RE::LocaleModels>(model));
        const bool modelValid = model >= RE::localeCpp && model <= RE::localeC && !re.IsBusy();
        Check(re.GetLocaleModel() == (modelValid ? model : modelBefore));
    }

    void ChangeOptions(RE& re)
    {
        const int option = m_in.ConsumeIntegralInRange(-2, 24);
        const unsigned long compileBefore = re.CompileFlags();
        const unsigned long matchBefore = re.MatchFlags(true);
        switch (m_in.ConsumeIntegralInRange(0, 5)) {
        case 0: re.AddExpressionOption(static_cast<RE::Options>(option)); break;
        case 1: re.DeleteExpressionOption(static_cast<RE::Options>(option)); break;
        case 2: re.AddMatchOption(static_cast<RE::Matches>(option)); break;
        case 3: re.DeleteMatchOption(static_cast<RE::Matches>(option)); break;
        case 4: re.ClearExpressionOptions(); return;
        default: re.ClearMatchOptions(); return;
        }
        if (option < 0 || option > RE::optPerl) {
            Check(!re.IsExpressionOption(static_cast<RE::Options>(option)));
            Check(re.CompileFlags() == compileBefore);
        }
        if (option < 0 || option > RE::matchPartial) {
            Check(!re.IsMatchOption(static_cast<RE::Matches>(option)));
            Check(re.MatchFlags(true) == matchBefore);
        }
    }

    void FileOperation(RE& re)
    {
        const Folders& folders = TheFolders();
        // Filled once per input, when first needed: most inputs need none.
        if (!m_filled)
            RefillFolder(m_fileText);
        m_filled = true;
        switch (m_in.ConsumeIntegralInRange(0, 2)) {
        case 0: re.FindFiles(); break;
        case 1: re.GrepFiles(); break;
        default: {
            const std::string own = ReadBytes(folders.files / kOwnTemporary);
            re.ChangeFiles();
            Check(ReadBytes(folders.files / kOwnTemporary) == own);
            break;
        }
        }
        Check(!LeftoversIn(folders.files.Path()));
        Check(fs::is_empty(folders.temporary.Path()));
    }

    FuzzedDataProvider& m_in;
    const std::string m_fileText;
    bool m_filled = false;
    RE m_re;
    int m_depth = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    Driver driver(in);
    driver.Run();
    return 0;
}
