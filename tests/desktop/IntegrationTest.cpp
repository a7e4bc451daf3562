// The desktop integration helper against a user's folders of the test's own:
// what it adds is valid and starts the program as it should, and removing it
// leaves the folders as they were.
#include "DesktopRun.h"

#include "integration/DesktopIntegration.h"

#include <QStandardPaths>

#include <grp.h>
#include <unistd.h>

#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;

// Root is held back by no permission: the helper then runs as this user.
constexpr uid_t kOtherUser = 4242;

void BecomeOtherUserIfRoot()
{
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0))
        ::_exit(101);
}

// Every file under a folder, by path, with its bytes and permission bits.
std::map<std::string, std::string> Snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_directory())
            continue;
        const auto mode = static_cast<unsigned>(fs::symlink_status(entry.path()).permissions());
        files[entry.path().string()] = std::to_string(mode) + ":" + ReadBytes(entry.path());
    }
    return files;
}

// The arguments of a desktop entry's Exec value, as a launcher reads them:
// the value's escapes first, then quoted arguments and their escapes.
std::vector<std::string> ExecArguments(const std::string& value)
{
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i)
        unescaped += value[i] == '\\' && i + 1 < value.size() ? value[++i] : value[i];
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < unescaped.size(); ++i) {
        const char c = unescaped[i];
        if (quoted && c == '\\' && i + 1 < unescaped.size()) {
            current += unescaped[++i];
        } else if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any || !current.empty())
                arguments.push_back(current);
            current.clear();
            any = false;
        } else if (c == '%' && i + 1 < unescaped.size() && unescaped[i + 1] == '%') {
            current += unescaped[++i];
        } else {
            current += c;
        }
    }
    if (any || !current.empty())
        arguments.push_back(current);
    return arguments;
}

std::vector<std::string> ExecLines(const std::string& entry)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while ((at = entry.find("\nExec=", at)) != std::string::npos) {
        at += 6;
        lines.push_back(entry.substr(at, entry.find('\n', at) - at));
    }
    return lines;
}

class IntegrationTest : public testing::Test {
protected:
    IntegrationTest()
    {
        // A program in a folder whose name needs quoting everywhere ('%' the
        // integration refuses); it notes how it was started.
        fs::create_directories(ProgramFolder());
        WriteBytes(Program(), "#!/bin/sh\nprintf '%s|' \"$@\" >> '" + (m_root.Path() / "started").string() +
                                  "'\necho >> '" + (m_root.Path() / "started").string() + "'\n");
        fs::permissions(Program(), fs::perms::owner_all);
        m_environment.insert("XDG_DATA_HOME", QString::fromStdString(Data().string()));
        m_environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Config().string()));
        m_environment.insert("HOME", QString::fromStdString((m_root.Path() / "home").string()));
        // What the user has already: the integration leaves it alone.
        for (const auto& [path, bytes] : {std::pair(Data() / "applications/editor.desktop", "[Desktop Entry]\n"),
                                          {Data() / "nautilus/scripts/Mine", "#!/bin/sh\n"},
                                          {Config() / "caja/scripts/Folivo Converter/Mine too", "#!/bin/sh\n"},
                                          {Data() / "kio/servicemenus/other.desktop", "[Desktop Entry]\n"}}) {
            fs::create_directories(path.parent_path());
            WriteBytes(path, bytes);
        }
    }

    fs::path Data() const { return m_root.Path() / "data"; }
    fs::path Config() const { return m_root.Path() / "config"; }
    fs::path ProgramFolder() const { return m_root.Path() / "My \"Apps\" $HOME `id` \\ it's"; }
    fs::path Program() const { return ProgramFolder() / "folivo-converter"; }
    integration::UserFolders Folders() const { return {Data().string(), Config().string()}; }

    ProgramRun Helper(const QStringList& arguments, const std::function<void()>& inChild = {})
    {
        return RunProgram(FOLIVO_INTEGRATION, arguments, m_environment, m_root.Path(), inChild);
    }
    std::map<std::string, std::string> Everything() const
    {
        std::map<std::string, std::string> all = Snapshot(Data());
        all.merge(Snapshot(Config()));
        return all;
    }

    ScratchFolder m_root;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
};

TEST_F(IntegrationTest, AddsValidFilesAndRemovesThemAndNothingElse)
{
    // An empty folder of the user's where the integration puts its scripts.
    const fs::path usersFolder = Data() / "nemo/scripts/Folivo Converter";
    fs::create_directories(usersFolder);
    const auto before = Everything();
    const QString program = QString::fromStdString(Program().string());
    const ProgramRun added = Helper({"/s", program});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out + added.err, "");

    const std::vector<integration::IntegrationFile> files =
        integration::IntegrationFiles(Program().string(), Folders());
    ASSERT_EQ(files.size(), 11u);
    const std::string validate = QStandardPaths::findExecutable("desktop-file-validate").toStdString();
    ASSERT_FALSE(validate.empty()) << "desktop-file-validate is missing (package desktop-file-utils)";
    for (const integration::IntegrationFile& file : files) {
        ASSERT_TRUE(fs::is_regular_file(file.path)) << file.path;
        EXPECT_EQ(ReadBytes(file.path), file.content) << file.path;
        EXPECT_EQ(ModeOf(file.path), file.mode) << file.path;
        if (!file.path.ends_with(".desktop"))
            continue;
        const ProgramRun valid = RunProgram(QString::fromStdString(validate), {QString::fromStdString(file.path)},
                                            m_environment, m_root.Path());
        EXPECT_EQ(valid.status, 0) << file.path << "\n" << valid.out << valid.err;
        EXPECT_EQ(valid.out.find("error"), std::string::npos) << valid.out;
        // Each action starts the program on the document with its number.
        std::vector<std::string> numbers;
        for (const std::string& exec : ExecLines(file.content)) {
            const std::vector<std::string> arguments = ExecArguments(exec);
            ASSERT_EQ(arguments.size(), 3u) << exec;
            EXPECT_EQ(arguments[0], Program().string());
            EXPECT_EQ(arguments[1], "%f");
            numbers.push_back(arguments[2]);
        }
        EXPECT_EQ(numbers, (std::vector<std::string>{"2", "0", "1", "2"})) << file.path;
        EXPECT_NE(file.content.find("Name=Convert to PalmDoc\n"), std::string::npos);
        EXPECT_NE(file.content.find("Name=Convert to zTXT\n"), std::string::npos);
        EXPECT_NE(file.content.find("Name=Conversion wizard\n"), std::string::npos);
        EXPECT_NE(file.content.find("MimeType=text/plain;text/html;application/epub+zip;\n"), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(Data() / "applications/folivo-converter-integration.desktop"));
    EXPECT_TRUE(fs::exists(Data() / "kio/servicemenus/folivo-converter.desktop"));
    EXPECT_TRUE(fs::exists(Data() / "nautilus/scripts/Folivo Converter/Convert to PalmDoc"));
    EXPECT_TRUE(fs::exists(Config() / "caja/scripts/Folivo Converter/Conversion wizard"));

    // Twice is once.
    const auto once = Everything();
    EXPECT_EQ(Helper({"/s", program}).status, 0);
    EXPECT_EQ(Everything(), once);

    const ProgramRun removed = Helper({"/s", "/u", program});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(removed.out + removed.err, "");
    EXPECT_EQ(Everything(), before);
    EXPECT_FALSE(fs::exists(Data() / "nautilus/scripts/Folivo Converter"));
    EXPECT_TRUE(fs::is_directory(usersFolder));
    EXPECT_TRUE(fs::exists(Config() / "caja/scripts/Folivo Converter/Mine too"));
    EXPECT_EQ(Helper({"/s", "/u", program}).status, 0);
    EXPECT_EQ(Everything(), before);
    EXPECT_TRUE(fs::is_directory(usersFolder));
}

TEST_F(IntegrationTest, AFileOfTheSameNameThatIsNotOursStopsEverything)
{
    const fs::path menu = Data() / "kio/servicemenus/folivo-converter.desktop";
    WriteBytes(menu, "[Desktop Entry]\nName=Mine\n");
    const auto before = Everything();
    // Silent, it still tells why, for the program that runs it.
    const ProgramRun run = Helper({"/s", QString::fromStdString(Program().string())});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(menu.string()), std::string::npos) << run.err;
    EXPECT_EQ(Everything(), before);
    EXPECT_EQ(Helper({"/u", QString::fromStdString(Program().string())}).status, 0);
    EXPECT_EQ(Everything(), before);
}

TEST_F(IntegrationTest, RefusesWhatIsNoProgram)
{
    // A launcher of some desktops cannot start a program with '%' in its path.
    const fs::path percent = m_root.Path() / "100% apps/folivo-converter";
    fs::create_directories(percent.parent_path());
    fs::copy_file(Program(), percent);
    const auto before = Everything();
    fs::permissions(Program(), fs::perms::owner_read | fs::perms::owner_write);
    for (const std::string& program : {Program().string(), (m_root.Path() / "missing").string(), percent.string()}) {
        const ProgramRun run = Helper({QString::fromStdString(program)});
        EXPECT_EQ(run.status, 1) << program;
        EXPECT_NE(run.err.find(program), std::string::npos) << run.err;
    }
    EXPECT_EQ(Helper({}).status, 2);
    EXPECT_EQ(Helper({"/s", "a", "b"}).status, 2);
    EXPECT_EQ(Everything(), before);
}

TEST_F(IntegrationTest, NamesEveryFileItCannotRemove)
{
    const QString program = QString::fromStdString(Program().string());
    ASSERT_EQ(Helper({"/s", program}).status, 0);
    const std::vector<integration::IntegrationFile> files =
        integration::IntegrationFiles(Program().string(), Folders());
    std::set<fs::path> folders;
    for (const integration::IntegrationFile& file : files)
        folders.insert(fs::path(file.path).parent_path());
    // Every file can be read, none of their folders written.
    fs::permissions(m_root.Path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    for (const fs::path& folder : folders)
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
    // That user may not reach the build folder (one under /root): it runs a copy.
    const fs::path helper = m_root.Path() / "helper-copy";
    fs::copy_file(FOLIVO_INTEGRATION, helper);
    const ProgramRun run = RunProgram(QString::fromStdString(helper.string()), {"/s", "/u", program}, m_environment,
                                      m_root.Path(), BecomeOtherUserIfRoot);
    for (const fs::path& folder : folders)
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(run.status, 1);
    for (const integration::IntegrationFile& file : files) {
        EXPECT_NE(run.err.find(file.path + ": "), std::string::npos) << file.path << "\n" << run.err;
        EXPECT_TRUE(fs::exists(file.path)) << file.path;
    }
}

TEST_F(IntegrationTest, PrintedPathsCannotSteerTheTerminal)
{
    const std::string hostile = "\x1B]0;owned\x07 \xC2\x9B[2J\r\n";
    const std::string shown = "\\x1B]0;owned\\x07 \\x9B[2J\\r\\n";
    const std::string missing = (m_root.Path() / hostile).string();
    EXPECT_EQ(Helper({"/s", QString::fromStdString(missing)}).err,
              "folivo-desktop-integration: " + m_root.Path().string() + "/" + shown + ": no such program\n");

    const std::string data = (m_root.Path() / ("data" + hostile)).string();
    m_environment.insert("XDG_DATA_HOME", QString::fromStdString(data));
    const std::string entry =
        m_root.Path().string() + "/data" + shown + "/applications/folivo-converter-integration.desktop\n";
    const ProgramRun added = Helper({QString::fromStdString(Program().string())});
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_NE(added.out.find("added " + entry), std::string::npos) << added.out;
    const ProgramRun removed = Helper({"/u"});
    EXPECT_NE(removed.out.find("removed " + entry), std::string::npos) << removed.out;
    for (const std::string& out : {added.out, removed.out})
        EXPECT_EQ(out.find_first_of("\x1B\x07\x9B\r"), std::string::npos) << out;
}

TEST_F(IntegrationTest, TheScriptsStartTheProgramOnEachSelectedDocument)
{
    ASSERT_EQ(Helper({"/s", QString::fromStdString(Program().string())}).status, 0);
    const fs::path docs = m_root.Path() / "docs";
    fs::create_directory(docs);
    // A file manager runs a script in the folder shown, with the selection's
    // names; a name that begins with '-' is still a document.
    const ProgramRun run =
        RunProgram(QString::fromStdString((Data() / "nautilus/scripts/Folivo Converter/Convert to zTXT").string()),
                   {"-first.txt", "/abs/second one.htm"}, m_environment, docs);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(m_root.Path() / "started"), "./-first.txt|1|\n/abs/second one.htm|1|\n");
}

TEST(IntegrationQuoting, ExecArgumentsAreQuotedAndEscaped)
{
    EXPECT_EQ(integration::ExecArgument("/usr/bin/folivo-converter"), "\"/usr/bin/folivo-converter\"");
    EXPECT_EQ(integration::ExecArgument("/a b/$x\"y`z\\%"), "\"/a b/\\\\$x\\\\\"y\\\\`z\\\\\\\\%%\"");
    EXPECT_EQ(integration::ShellWord("it's"), "'it'\\''s'");
}

}  // namespace
