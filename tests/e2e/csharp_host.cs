// A .NET host built from docs/hosts/ZevDTU.cs alone: drills one cell and prints
// the report as zevdtu.py does (header, rows, "N rows"), or the code and its text.
using System;
using System.Collections.Generic;
using System.Text;
using ZevDTU;

static class CSharpHost
{
    static int Fail(string call, uint code)
    {
        Console.Error.WriteLine("{0} failed with {1}: {2}", call, code, Native.CodeText(code));
        return 3;
    }

    static unsafe int Main(string[] args)
    {
        IntPtr handle;
        uint code = Native.ZevDTInit(UIntPtr.Zero, out handle);
        if (code != Native.Ok)
            return Fail("ZevDTInit", code);
        try
        {
            IntPtr[] members = Native.Members(args);
            try { code = Native.ZevDTOpen(handle, (uint)members.Length, members, 0); }
            finally { Native.FreeMembers(members); }
            if (code == Native.Cancelled)
                return 1;
            if (code != Native.Ok)
                return Fail("ZevDTOpen", code);
            try
            {
                IntPtr headerItems, dataItems;
                uint columns, cells;
                if ((code = Native.ZevDTGetHeader(handle, out headerItems, out columns)) != Native.Ok)
                    return Fail("ZevDTGetHeader", code);
                if ((code = Native.ZevDTGetData(handle, out dataItems, out cells)) != Native.Ok)
                    return Fail("ZevDTGetData", code);
                HeaderItem[] header = Native.Items<HeaderItem>(headerItems, columns);
                DataItem[] data = Native.Items<DataItem>(dataItems, cells);
                Encoding encoding = Native.HostEncoding();

                var names = new string[columns];
                foreach (HeaderItem item in header)
                {
                    HeaderItem copy = item;
                    names[copy.Column - 1] = Native.Text(copy.Name, 256, encoding);
                }
                var rows = new SortedDictionary<uint, string[]>();
                foreach (DataItem item in data)
                {
                    DataItem copy = item;
                    string[] row;
                    if (!rows.TryGetValue(copy.Row, out row))
                        rows[copy.Row] = row = new string[columns];
                    row[copy.Column] = Native.Text(copy.Text, 256, encoding);
                }
                var output = new StringBuilder();
                output.Append(string.Join("\t", names)).Append('\n');
                foreach (string[] row in rows.Values)
                    output.Append(string.Join("\t", row)).Append('\n');
                output.Append(rows.Count).Append(" rows\n");
                Console.Out.Write(output.ToString());
                return 0;
            }
            finally { Native.ZevDTClose(handle); }
        }
        finally { Native.ZevDTExit(handle); }
    }
}
