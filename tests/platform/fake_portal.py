#!/usr/bin/env python3
# A desktop portal with only the GlobalShortcuts interface, on the session bus: it accepts every
# session and binding, writes the bound shortcuts to the file named on the command line, and
# reports the shortcut as pressed once it is bound.
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

IFACE = 'org.freedesktop.portal.GlobalShortcuts'
PATH = '/org/freedesktop/portal/desktop'
record = open(sys.argv[1], 'w')


class Request(dbus.service.Object):
    @dbus.service.signal('org.freedesktop.portal.Request', signature='ua{sv}')
    def Response(self, response, results):
        pass


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, PATH)
        self.bus = bus
        self.requests = []

    def request_path(self, sender, token):
        return '/org/freedesktop/portal/desktop/request/%s/%s' % (sender[1:].replace('.', '_'), token)

    def answer(self, path, results):
        request = Request(self.bus, path)
        self.requests.append(request)
        GLib.timeout_add(50, lambda: request.Response(dbus.UInt32(0), results) and False)
        return dbus.ObjectPath(path)

    @dbus.service.method(IFACE, in_signature='a{sv}', out_signature='o', sender_keyword='sender')
    def CreateSession(self, options, sender=None):
        session = '/org/freedesktop/portal/desktop/session/%s/%s' % (
            sender[1:].replace('.', '_'), options['session_handle_token'])
        self.session = session
        return self.answer(self.request_path(sender, options['handle_token']),
                           dbus.Dictionary({'session_handle': session}, signature='sv'))

    @dbus.service.method(IFACE, in_signature='oa(sa{sv})sa{sv}', out_signature='o', sender_keyword='sender')
    def BindShortcuts(self, session, shortcuts, parent, options, sender=None):
        for shortcut_id, props in shortcuts:
            record.write('%s %s %s\n' % (session == self.session, shortcut_id, props.get('preferred_trigger', '')))
        record.flush()
        path = self.answer(self.request_path(sender, options['handle_token']),
                           dbus.Dictionary({}, signature='sv'))
        GLib.timeout_add(300, lambda: self.Activated(session, shortcuts[0][0], dbus.UInt64(0),
                                                     dbus.Dictionary({}, signature='sv')) and False)
        return path

    @dbus.service.signal(IFACE, signature='osta{sv}')
    def Activated(self, session, shortcut_id, timestamp, options):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature='ss', out_signature='v')
    def Get(self, interface, prop):
        if interface == IFACE and prop == 'version':
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException('no such property', name='org.freedesktop.DBus.Error.UnknownProperty')


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName('org.freedesktop.portal.Desktop', bus)
portal = Portal(bus)
GLib.MainLoop().run()
