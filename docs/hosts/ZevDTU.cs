// ZevDTU.cs - P/Invoke declarations of the drill-through library for .NET hosts.
//
// Build with AllowUnsafeBlocks: the text fields are fixed buffers, because a
// managed array cannot sit at the unaligned offset 4105 of an explicit layout.
// The process's width picks the DLL: a 32-bit process loads the 32-bit
// ZEVDTU.dll, whose exports are stdcall; CallingConvention.Winapi is stdcall
// there and the platform's only convention on 64-bit. The 64-bit context is a
// ulong in both widths: the marshaller passes it as two stack words on 32 bits.
//
// On Linux the library is libzevdtu.so.1; Mono finds it under the name
// "ZEVDTU.dll" through a dllmap in the program's .config file:
//   <configuration>
//     <dllmap dll="ZEVDTU.dll" target="libzevdtu.so.1" />
//   </configuration>
// (a full path as target, or the library's folder in LD_LIBRARY_PATH). .NET on
// Linux takes a NativeLibrary.SetDllImportResolver to the same effect.
//
// Texts in the items are bytes in the host's ANSI code page on Windows and
// UTF-8 on Linux: HostEncoding gives the matching Encoding. The arrays passed
// to the exports are pinned by the marshaller for the call; the member
// strings are unmanaged memory, so nothing needs pinning across calls.
using System;
using System.Runtime.InteropServices;
using System.Text;

namespace ZevDTU
{
    [StructLayout(LayoutKind.Explicit, Size = 264)]
    public unsafe struct HeaderItem
    {
        [FieldOffset(0)] public uint Row;      // always 0
        [FieldOffset(4)] public uint Column;   // display position, 1..N
        [FieldOffset(8)] public fixed byte Name[256];
    }

    [StructLayout(LayoutKind.Explicit, Size = 8208)]
    public unsafe struct HeaderInfoItem
    {
        [FieldOffset(0)] public uint Column;
        [FieldOffset(4)] public fixed byte TableName[4101];
        [FieldOffset(4105)] public fixed byte ColumnName[4101];
        [FieldOffset(8206)] public ushort DataType;  // 10: character data
    }

    [StructLayout(LayoutKind.Explicit, Size = 264)]
    public unsafe struct DataItem
    {
        [FieldOffset(0)] public uint Row;      // from 1
        [FieldOffset(4)] public uint Column;   // from 0
        [FieldOffset(8)] public fixed byte Text[256];
    }

    public static class Native
    {
        const string Dll = "ZEVDTU.dll";
        const CallingConvention Call = CallingConvention.Winapi;

        public const uint Ok = 0, Cancelled = 1;
        public const uint Exception = 50001, NoReports = 50007, NoColumns = 50008, Allocation = 50009,
                          DisplayOrder = 50011, NoDataSource = 50012, NullParameter = 50513;

        [DllImport(Dll, CallingConvention = Call)] public static extern uint ZevDTInit(UIntPtr value, out IntPtr handle);
        // members: one pointer per ANSI string, no terminator (see Members below).
        [DllImport(Dll, CallingConvention = Call)] public static extern uint ZevDTOpen(IntPtr handle, uint memberCount, IntPtr[] members, ulong context);
        [DllImport(Dll, CallingConvention = Call)] public static extern uint ZevDTGetHeader(IntPtr handle, out IntPtr items, out uint count);
        [DllImport(Dll, CallingConvention = Call)] public static extern uint ZevDTGetHeaderInfo(IntPtr handle, out IntPtr items, out uint count);
        [DllImport(Dll, CallingConvention = Call)] public static extern uint ZevDTGetData(IntPtr handle, out IntPtr items, out uint count);
        [DllImport(Dll, CallingConvention = Call)] public static extern uint ZevDTClose(IntPtr handle);
        // The handle's 31-byte buffer, valid until ZevDTExit: read it, never free it.
        [DllImport(Dll, CallingConvention = Call)] public static extern IntPtr ZevDTGetSourcePassword(IntPtr handle);
        [DllImport(Dll, CallingConvention = Call, CharSet = CharSet.Ansi)] public static extern uint ZevDTSetSourcePassword(IntPtr handle, string password);
        [DllImport(Dll, CallingConvention = Call)] public static extern uint ZevDTExit(IntPtr handle);

        // The items belong to the handle until the same call is made again or
        // ZevDTExit: copy them out.
        public static T[] Items<T>(IntPtr items, uint count) where T : struct
        {
            var result = new T[count];
            int size = Marshal.SizeOf<T>();
            for (uint i = 0; i < count; ++i)
                // 64-bit arithmetic: i * size passes 2^31 after 8,134,408 items,
                // which a 64-bit host can be handed.
                result[i] = Marshal.PtrToStructure<T>(new IntPtr(items.ToInt64() + (long)i * size));
            return result;
        }

        static bool OnWindows => Environment.OSVersion.Platform == PlatformID.Win32NT;

        [DllImport("kernel32.dll")] static extern uint GetACP();
        [DllImport("kernel32.dll", CharSet = CharSet.Ansi)] static extern IntPtr GetModuleHandleA(string name);
        [DllImport("user32.dll", CharSet = CharSet.Ansi)] static extern int LoadStringA(IntPtr module, uint id, byte[] buffer, int capacity);
        // Linux only: the string table's text of a code.
        [DllImport(Dll, EntryPoint = "ZevDTLoadString")] static extern uint LoadStringLinux(uint id, byte[] buffer, uint capacity);

        // The encoding of the items' texts. (.NET, unlike .NET Framework and
        // Mono, needs CodePagesEncodingProvider registered for the ANSI code pages.)
        public static Encoding HostEncoding() => OnWindows ? Encoding.GetEncoding((int)GetACP()) : Encoding.UTF8;

        // The text of a code (empty for 0, 1 and the data-transfer library's
        // own codes): ZEVDTU.dll's string table holds it under the code's number.
        public static string CodeText(uint code)
        {
            var buffer = new byte[512];
            int length = OnWindows ? LoadStringA(GetModuleHandleA(Dll), code, buffer, buffer.Length)
                                   : (int)LoadStringLinux(code, buffer, (uint)buffer.Length);
            return HostEncoding().GetString(buffer, 0, Math.Max(0, Math.Min(length, buffer.Length)));
        }

        // A text field up to its NUL. The library cuts at 255 bytes, which can
        // split a multibyte character: the decoder replaces a partial one.
        public static unsafe string Text(byte* field, int capacity, Encoding encoding)
        {
            int length = 0;
            while (length < capacity && field[length] != 0) ++length;
            return encoding.GetString(field, length);
        }

        // Allocates the ANSI strings ZevDTOpen reads; free with FreeMembers after the call.
        public static IntPtr[] Members(params string[] lines)
        {
            var pointers = new IntPtr[lines.Length];
            for (int i = 0; i < lines.Length; ++i)
                pointers[i] = Marshal.StringToHGlobalAnsi(lines[i].EndsWith("\n") ? lines[i] : lines[i] + "\n");
            return pointers;
        }

        public static void FreeMembers(IntPtr[] pointers)
        {
            foreach (var p in pointers) Marshal.FreeHGlobal(p);
        }
    }
}
