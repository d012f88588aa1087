#!/usr/bin/env python3
"""Builds the settings files KovadoDeskLink ships, from installer/texts/.

    make_shipped.py --tree DIR [--icons RESDIR] [--wxs FILE]
    make_shipped.py --cpp FILE

--tree writes DIR/setting/ and DIR/Language/<folder>/ exactly as the program
reads them; with --icons the four status icons of RESDIR go into
DIR/setting/ under the names the tray loads; --wxs writes the package's
component list of those files. --cpp writes the same files as a C++ table
for the simulator's settings folder (with a second parameter file whose
"#Debug#" line is "enable").

The keys are taken from settings/TextTables.cpp, so a language file that
misses a key, repeats one or names one the program does not know stops the
build, as does a handset text the handset's Latin font cannot show.
"""
import argparse
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
TEXTS = os.path.join(HERE, 'texts')

# The handset shows at most this many characters of a menu text in one go;
# 16 is also the longest of the built-in texts.
MENU_TEXT_MAX = 16
# Tooltip texts (user texts 0 to 3) fit the tray's 63 units.
TIP_MAX = 63
# The status icons as drawn in shell/win32/res/ and the names the tray loads.
ICONS = {'allpass.ico': 'allpass.ico', 'skypefail.ico': 'Skypefail.ico',
         'skypemissing.ico': 'SkypeUninstall.ico', 'usbfail.ico': 'USBfail.ico'}


class TextError(Exception):
    pass


def program_keys():
    """The user text keys and the menu text keys, in the program's order."""
    with open(os.path.join(ROOT, 'settings', 'TextTables.cpp'), encoding='utf-8') as f:
        source = f.read()
    menu = re.findall(r'\{\d+, "(#[^"]*#)", "[^"]*"\}', source)
    user = re.findall(r'\{(\d+), L"(#[^"]*#)", L"[^"]*"\}', source)
    if len(menu) != 45 or len(user) != 8:
        raise TextError('settings/TextTables.cpp: the key tables are not where they were')
    return [(int(index), key) for index, key in user], menu


def source_lines(name):
    path = os.path.join(TEXTS, name)
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\r\n')
            if line and not line.startswith(';'):
                yield path, number, line


def read_language(folder, user_keys, menu_keys):
    sections = {'[Title]': [], '[User]': [], '[Menu]': []}
    current = None
    for path, number, line in source_lines(folder + '.txt'):
        if line in sections:
            current = sections[line]
        elif current is None:
            raise TextError('%s:%d: text before the first section' % (path, number))
        else:
            current.append((path, number, line))
    if len(sections['[Title]']) != 1:
        raise TextError('%s.txt: [Title] needs exactly one line' % folder)
    title = sections['[Title]'][0][2]
    user = keyed(sections['[User]'], [key for _, key in user_keys], folder)
    menu = keyed(sections['[Menu]'], menu_keys, folder)
    for (index, key), (_, text) in zip(user_keys, user):
        if index <= 3 and len(text.encode('utf-16-le')) // 2 > TIP_MAX:
            raise TextError('%s.txt: %s is too long for a tooltip' % (folder, key))
    for key, text in menu:
        if len(text) > MENU_TEXT_MAX or any(not ' ' <= c <= '~' for c in text):
            raise TextError('%s.txt: %s "%s": the handset shows at most %d plain ASCII '
                            'characters' % (folder, key, text, MENU_TEXT_MAX))
    return title, user, menu


def keyed(lines, keys, folder):
    """Lines "KEY text" in the given key order, each key exactly once."""
    found = []
    for path, number, line in lines:
        key = next((k for k in keys if line.startswith(k)), None)
        if key is None:
            raise TextError('%s:%d: no known key at the start' % (path, number))
        text = line[len(key):]
        if any(k in text for k in keys):
            raise TextError('%s:%d: a key inside the text' % (path, number))
        found.append((key, text))
    if [k for k, _ in found] != keys:
        raise TextError('%s.txt: the keys must be %s, each once, in that order' %
                        (folder, ', '.join(keys)))
    return found


def utf16_file(lines):
    """A Unicode settings file: UTF-16LE with byte order mark, CR LF lines."""
    return b'\xff\xfe' + ''.join(line + '\r\n' for line in lines).encode('utf-16-le')


def menu_file(entries):
    """A menu text file: key, then the text in the handset's Latin cell pairs."""
    return b''.join(key.encode('ascii') + ''.join('2' + c for c in text).encode('ascii') +
                    b'\r\n' for key, text in entries)


def shipped_files():
    """(relative path, bytes) of every shipped settings file, and the parameter
    file's variant with the debug log switched on."""
    user_keys, menu_keys = program_keys()
    folders = [line for _, _, line in source_lines('Languages.txt')]
    parameters = [line for _, _, line in source_lines('Parameters.txt')]
    if not folders or len(folders) > 20:
        raise TextError('Languages.txt: from 1 to 20 languages')
    if '#Debug#disable' not in parameters:
        raise TextError('Parameters.txt: the product ships with "#Debug#disable"')
    languages = [(folder,) + read_language(folder, user_keys, menu_keys) for folder in folders]

    files = []
    per_language = {}
    for index, (folder, title, user, menu) in enumerate(languages):
        user_bytes = utf16_file([key + text for key, text in user] + ['%d:%s' % (index, folder)])
        per_language[folder] = (user_bytes, menu_file(menu))
    first = folders[0]
    files.append(('setting/ParameterSetting.cc', utf16_file(parameters)))
    files.append(('setting/Language.ini', utf16_file(
        ['[Titles]'] + ['%d:%s' % (i, title) for i, (_, title, _, _) in enumerate(languages)] +
        ['[File]'] + ['%d:%s' % (i, folder) for i, folder in enumerate(folders)])))
    files.append(('setting/UserSetting.cc', per_language[first][0]))
    files.append(('setting/MenuSetting.cc', per_language[first][1]))
    for folder in folders:
        files.append(('Language/%s/UserSetting.cc' % folder, per_language[folder][0]))
        files.append(('Language/%s/MenuSetting.cc' % folder, per_language[folder][1]))
    debug = utf16_file(['#Debug#enable' if line == '#Debug#disable' else line
                        for line in parameters])
    return files, folders, debug


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    old = None
    if os.path.exists(path):
        with open(path, 'rb') as f:
            old = f.read()
    if old != data:  # unchanged files keep their time, so nothing rebuilds
        with open(path, 'wb') as f:
            f.write(data)


def cpp_bytes(data):
    rows = [', '.join('0x%02X' % b for b in data[i:i + 16]) for i in range(0, len(data), 16)]
    return '{\n    ' + ',\n    '.join(rows) + '}'


def cpp_source(files, debug):
    out = ['// Generated by installer/make_shipped.py from installer/texts/: edit the texts there.',
           '#include "simulator/harness/ShippedSettings.h"', '',
           'namespace kovado::sim {', '', 'namespace {', '']
    for i, (_, data) in enumerate(files):
        out.append('const unsigned char kFile%d[] = %s;' % (i, cpp_bytes(data)))
    out.append('const unsigned char kDebugParameters[] = %s;' % cpp_bytes(debug))
    out += ['', '}  // namespace', '', 'const std::vector<ShippedFile>& ShippedSettingsFiles() {',
            '    static const std::vector<ShippedFile> files = {']
    for i, (path, data) in enumerate(files):
        out.append('        {"%s", {reinterpret_cast<const char*>(kFile%d), %d}},' %
                   (path, i, len(data)))
    out += ['    };', '    return files;', '}', '',
            'std::string_view ShippedDebugParameters() {',
            '    return {reinterpret_cast<const char*>(kDebugParameters), %d};' % len(debug),
            '}', '', '}  // namespace kovado::sim', '']
    return '\n'.join(out)


def wxs_id(path):
    return 'Shipped_' + re.sub(r'[^A-Za-z0-9]', '_', path)


def wxs_fragment(files, folders, icons):
    """Components of the shipped files, one a file, under INSTALLDIR."""
    # The two files the language switch overwrites have fixed ids: the package
    # grants users the right to write them.
    fixed = {'setting/UserSetting.cc': 'SettingUserTexts',
             'setting/MenuSetting.cc': 'SettingMenuTexts'}
    paths = [path for path, _ in files] + ['setting/' + name for name in icons]

    def component(path, indent):
        ident = fixed.get(path, wxs_id(path))
        return ('%s<Component Id="C_%s" Guid="*" Win64="yes">\n'
                '%s  <File Id="%s" Name="%s" Source="$(var.ShippedDir)/%s" KeyPath="yes"/>\n'
                '%s</Component>' % (indent, ident, indent, ident, path.split('/')[-1], path,
                                    indent))

    out = ['<?xml version="1.0" encoding="utf-8"?>',
           '<!-- Generated by installer/make_shipped.py: the files of setting\\ and Language\\. -->',
           '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">', '  <Fragment>',
           '    <DirectoryRef Id="SETTINGDIR">']
    out += [component(p, '      ') for p in paths if p.startswith('setting/')]
    out += ['    </DirectoryRef>', '    <DirectoryRef Id="INSTALLDIR">',
            '      <Directory Id="LANGUAGEDIR" Name="Language">']
    for folder in folders:
        out.append('        <Directory Id="LANG_%s" Name="%s">' % (wxs_id(folder), folder))
        out += [component(p, '          ') for p in paths
                if p.startswith('Language/%s/' % folder)]
        out.append('        </Directory>')
    out += ['      </Directory>', '    </DirectoryRef>',
            '    <ComponentGroup Id="ShippedFiles">']
    for path in paths:
        out.append('      <ComponentRef Id="C_%s"/>' % fixed.get(path, wxs_id(path)))
    out += ['    </ComponentGroup>', '  </Fragment>', '</Wix>', '']
    return '\n'.join(out)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--tree')
    parser.add_argument('--icons')
    parser.add_argument('--wxs')
    parser.add_argument('--cpp')
    args = parser.parse_args()
    try:
        files, folders, debug = shipped_files()
    except TextError as error:
        print('make_shipped.py: %s' % error, file=sys.stderr)
        return 1
    if args.cpp:
        write(args.cpp, cpp_source(files, debug).encode('utf-8'))
    if args.tree:
        for path, data in files:
            write(os.path.join(args.tree, path), data)
        if args.icons:
            for source, name in ICONS.items():
                with open(os.path.join(args.icons, source), 'rb') as f:
                    write(os.path.join(args.tree, 'setting', name), f.read())
    if args.wxs:
        write(args.wxs, wxs_fragment(files, folders,
                                     list(ICONS.values()) if args.icons else []).encode('utf-8'))
    return 0


if __name__ == '__main__':
    sys.exit(main())
