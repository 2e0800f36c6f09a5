// Drives RegistryKey and the system-folder and Windows-identity functions for the Wine
// tests (DriverScript.h tells the script format). One RegistryKey object serves the
// whole script, so that the key stack carries from one command to the next. Roots:
// HKLM, HKCU, HKCR, HKU, HKCC. Truth values print as "true" and "false".
#include "core/String.h"
#include "core/Value.h"
#include "core/Vector.h"
#include "system/RegistryKey.h"
#include "system/SystemError.h"
#include "system/SystemFolders.h"
#include "system/SystemIdentity.h"
#include "system/SystemPaths.h"
#include "tests/drivers/DriverScript.h"
#include "ui/Questions.h"
#include <windows.h>

namespace {

const char* const kFolderNames[kSystemFolderCount] = {
    "CommonFiles", "Desktop",   "CommonDesktop", "Documents",       "CommonDocuments", "Favorites",
    "CommonFavorites", "Fonts", "ProgramFiles",  "Media",           "DevicePath",      "StartMenu",
    "CommonStartMenu", "Programs", "CommonPrograms", "Startup",     "CommonStartup",
};

RegistryKey s_key;

HKEY Root(const String& name)
{
    if (name == "HKLM")
        return HKEY_LOCAL_MACHINE;
    if (name == "HKCU")
        return HKEY_CURRENT_USER;
    if (name == "HKCR")
        return HKEY_CLASSES_ROOT;
    if (name == "HKU")
        return HKEY_USERS;
    if (name == "HKCC")
        return HKEY_CURRENT_CONFIG;
    return nullptr;
}

String Number(int64_t n)
{
    return String(n);
}

String Truth(bool b)
{
    return b ? "true" : "false";
}

String FormatValue(bool ok, Value& value)
{
    if (!ok)
        return "false";
    String out;
    out.Format("true type %d ", value.Type());
    out += Escaped(value.ToText());
    return out;
}

// write|name|kind|text|options, kind: empty, text, dword, int64, bool, double.
String Write(ScriptLine& f)
{
    String kind = f.Str(2);
    Value value;
    if (kind == "text")
        value.SetText(f.Str(3));
    else if (kind == "dword")
        value.SetDword(f.Flags(3));
    else if (kind == "int64")
        value.SetInt64(f.Number(3));
    else if (kind == "bool")
        value.SetBool(f.Number(3) != 0);
    else if (kind == "double")
        value.SetDouble(static_cast<double>(f.Number(3)) / 4);
    return Truth(s_key.Write(f.Text(1), value, f.Flags(4)));
}

// raw|name|type|hex bytes: a value written directly, in shapes the class never writes.
String WriteRaw(ScriptLine& f)
{
    String hex = f.Str(3);
    String bytes;
    for (int32_t i = 0; i + 1 < hex.Length(); i += 2)
        bytes += static_cast<char>(HexDigit(hex.CharAt(i)) * 16 + HexDigit(hex.CharAt(i + 1)));
    LONG status = RegSetValueExA(s_key.Handle(), f.Text(1), 0, f.Flags(2), reinterpret_cast<const BYTE*>(bytes.Text()),
                                 static_cast<DWORD>(bytes.Length()));
    return Number(status);
}

String SubKeyNames(ScriptLine&)
{
    Vector<String> names;
    int32_t count = s_key.SubKeyNames(names);
    String result;
    result.Format("%d error %lu", count, GetLastError());
    for (int32_t i = 0; i < names.Count(); ++i)
        result += " " + Escaped(names.At(i));
    return result;
}

// readonly: the current key's access list becomes "everyone may read", so that opening
// it for writing fails as it does for a user without the rights. Answers the status.
String ReadOnly(ScriptLine&)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return Number(GetLastError());
    alignas(DWORD) BYTE list[256];
    ACL* acl = reinterpret_cast<ACL*>(list);
    SECURITY_DESCRIPTOR descriptor;
    LONG status = ERROR_INVALID_PARAMETER;
    if (InitializeAcl(acl, sizeof list, ACL_REVISION) && AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone) &&
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
        status = RegSetKeySecurity(s_key.Handle(), DACL_SECURITY_INFORMATION, &descriptor);
    FreeSid(everyone);
    return Number(status);
}

// Every folder, one result line each.
String AllFolders(ScriptLine& f)
{
    for (int i = 0; i < kSystemFolderCount; ++i)
        f.Print(String("folder ") + kFolderNames[i], Escaped(FolderPath(static_cast<SystemFolder>(i))));
    return String();
}

String OneFolder(ScriptLine& f)
{
    int i = 0;
    while (i < kSystemFolderCount && f.Str(1) != kFolderNames[i])
        ++i;
    return i < kSystemFolderCount ? Escaped(FolderPath(static_cast<SystemFolder>(i))) : String("unknown folder");
}

const DriverCommand kCommands[] = {
    // The key object.
    { "open", [](ScriptLine& f) { return Number(s_key.Open(Root(f.Str(1)), f.Text(2), f.Flags(3))); } },
    { "below", [](ScriptLine& f) { return Number(s_key.OpenBelow(f.Text(1), f.Flags(2))); } },
    { "product", [](ScriptLine& f) { return Number(s_key.OpenProductKey(f.Text(1), f.Number(2) != 0, f.Flags(3))); } },
    { "close", [](ScriptLine&) { s_key.Close(); return Escaped(s_key.Path()); } },
    { "closeall", [](ScriptLine&) { s_key.CloseAll(); return Truth(s_key.IsOpen()); } },
    { "path", [](ScriptLine&) { return s_key.IsOpen() ? Escaped(s_key.Path()) : String("<none>"); } },
    { "exists", [](ScriptLine& f) { return Truth(RegistryKey::KeyExists(f.Text(1), f.Number(2) != 0)); } },
    { "valueexists", [](ScriptLine& f) { return Truth(s_key.ValueExists(f.Text(1))); } },
    { "count", [](ScriptLine&) { return Number(s_key.SubKeyCount()); } },
    { "hassubkeys", [](ScriptLine&) { return Truth(s_key.HasSubKeys()); } },
    { "empty", [](ScriptLine&) { return Truth(s_key.IsEmpty()); } },
    { "names", SubKeyNames },
    { "readonly", ReadOnly },

    // Reading and writing values.
    { "read", [](ScriptLine& f) {
          Value value;
          bool ok = s_key.Read(f.Text(1), value, f.Flags(2));
          return FormatValue(ok, value);
      } },
    { "readtext", [](ScriptLine& f) { return Escaped(s_key.ReadText(f.Text(1), f.Text(2))); } },
    { "readnumber", [](ScriptLine& f) { return Number(s_key.ReadNumber(f.Text(1), static_cast<int32_t>(f.Flags(2)))); } },
    { "readflag", [](ScriptLine& f) { return Truth(s_key.ReadFlag(f.Text(1), f.Number(2) != 0)); } },
    { "readat", [](ScriptLine& f) {
          return Escaped(RegistryKey::ReadAt(Root(f.Str(1)), f.Text(2), f.Text(3), f.Flags(4)));
      } },
    { "write", Write },
    { "writetext", [](ScriptLine& f) { return Truth(s_key.WriteText(f.Text(1), f.Str(2), f.Flags(3))); } },
    { "writenumber", [](ScriptLine& f) { return Truth(s_key.WriteNumber(f.Text(1), f.Flags(2), f.Flags(3))); } },
    { "raw", WriteRaw },

    // Deleting.
    { "deletevalue", [](ScriptLine& f) { return Number(s_key.DeleteValue(f.Text(1))); } },
    { "deletekey", [](ScriptLine& f) { return Number(s_key.DeleteKey(f.Text(1), f.Flags(2))); } },
    { "deleteproduct", [](ScriptLine& f) {
          return Number(RegistryKey::DeleteProductKey(f.Text(1), f.Number(2) != 0, f.Flags(3)));
      } },
    { "deleteat", [](ScriptLine& f) {
          return Number(RegistryKey::DeleteKeyAt(Root(f.Str(1)), f.Text(2), f.Text(3), f.Flags(4)));
      } },

    // The rest of the process state.
    { "title", [](ScriptLine& f) { RegistryKey::SetApplicationTitle(f.Text(1)); return String("ok"); } },
    { "lasterror", [](ScriptLine&) { return Number(GetLastError()); } },

    // System folders and identity.
    { "folders", AllFolders },
    { "folder", OneFolder },
    { "bootdrive", [](ScriptLine&) { return String(BootDrive()); } },
    { "fontskey", [](ScriptLine&) { return String(FontsKey()); } },
    { "registerfont", [](ScriptLine& f) { return Truth(RegisterFont(f.Text(1), f.Text(2))); } },
    { "unregisterfont", [](ScriptLine& f) { return Truth(UnregisterFont(f.Text(1))); } },
    { "notifyassociations", [](ScriptLine&) { return Truth(NotifyAssociationsChanged()); } },
    { "notifyfolder", [](ScriptLine& f) { return Truth(NotifyFolderChanged(f.Text(1))); } },
    { "notifydesktop", [](ScriptLine& f) { return Truth(NotifyDesktopChanged(f.Number(1) != 0)); } },
    { "isnt", [](ScriptLine&) { return Truth(IsNtFamily()); } },
    { "code", [](ScriptLine&) { return Number(WindowsCode()); } },
    { "description", [](ScriptLine&) { return Escaped(WindowsDescription()); } },
    { "elapsed", [](ScriptLine& f) { return Number(ElapsedMilliseconds(GetTickCount() - f.Flags(1))); } },
};

} // namespace

int main(int argc, char** argv)
{
    InitSystemPaths();
    RegistryKey::SetApplicationTitle("Registry Driver");
    // The box that kShowErrors asks for is the application's; this one shows the stub's.
    SetSystemErrorDisplay(ShowSystemErrorBox);
    return RunDriverScript(argc, argv, kCommands);
}
