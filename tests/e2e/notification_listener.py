"""A desktop notification service of the test's own on the session bus.

  notification_listener.py OUT
owns org.freedesktop.Notifications, writes "ready" to OUT.ready once it
does, and appends each notification to OUT, one a line:
  app name <TAB> summary <TAB> body (its line breaks as \\n)
"""

import sys

from gi.repository import Gio, GLib

XML = """<node><interface name='org.freedesktop.Notifications'>
<method name='Notify'>
  <arg type='s' direction='in'/><arg type='u' direction='in'/>
  <arg type='s' direction='in'/><arg type='s' direction='in'/>
  <arg type='s' direction='in'/><arg type='as' direction='in'/>
  <arg type='a{sv}' direction='in'/><arg type='i' direction='in'/>
  <arg type='u' direction='out'/>
</method>
<method name='GetCapabilities'><arg type='as' direction='out'/></method>
<method name='GetServerInformation'>
  <arg type='s' direction='out'/><arg type='s' direction='out'/>
  <arg type='s' direction='out'/><arg type='s' direction='out'/>
</method>
</interface></node>"""

out = sys.argv[1]
interface = Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0]
count = 0


def call(conn, sender, path, iface, method, params, invocation):
    global count
    if method == "Notify":
        app, _, _, summary, body = params.unpack()[:5]
        with open(out, "a", encoding="utf-8") as f:
            f.write("%s\t%s\t%s\n" % (app, summary, body.replace("\n", "\\n")))
        count += 1
        invocation.return_value(GLib.Variant("(u)", (count,)))
    elif method == "GetCapabilities":
        invocation.return_value(GLib.Variant("(as)", (["body"],)))
    else:
        invocation.return_value(GLib.Variant("(ssss)", ("listener", "test", "1", "1.2")))


def bus_acquired(conn, name):
    conn.register_object("/org/freedesktop/Notifications", interface, call, None, None)


def name_acquired(conn, name):
    with open(out + ".ready", "w") as f:
        f.write("ready\n")


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.Notifications",
                 Gio.BusNameOwnerFlags.NONE, bus_acquired, name_acquired, None)
GLib.MainLoop().run()
