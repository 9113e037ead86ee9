#!/usr/bin/python3
"""Writes the example's Word 97 main documents card_1.doc, card_2.doc, card_3.doc and card_swl.doc from the .odt
ones, through LibreOffice (needs libreoffice-writer-nogui and python3-uno; run make-main-documents.py first).

LibreOffice has no Word 97 export for its own Next-record fields, so each one is replaced by a field mark that
carries Word's field code " NEXT " (field number 41), which the Word 97 export writes as a real NEXT field. The
database fields become MERGEFIELDs on export. Run it from this folder with the system's Python.
"""
import os
import shutil
import subprocess
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


def main():
    here = os.path.abspath(os.path.dirname(__file__))
    profile = tempfile.mkdtemp(prefix='cardmill-uno-')
    pipe = 'cardmill_uno_%d' % os.getpid()
    office = subprocess.Popen(['soffice', '--headless', '--norestore', '--nologo', '--nolockcheck',
                               '-env:UserInstallation=file://' + profile,
                               '--accept=pipe,name=%s;urp;StarOffice.ComponentContext' % pipe])
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
        for _ in range(100):
            try:
                context = resolver.resolve('uno:pipe,name=%s;urp;StarOffice.ComponentContext' % pipe)
                break
            except Exception:
                time.sleep(0.2)
        desktop = context.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', context)
        for kind in ('1', '2', '3', 'swl'):
            source = uno.systemPathToFileUrl(os.path.join(here, 'card_%s.odt' % kind))
            doc = desktop.loadComponentFromURL(source, '_blank', 0, (prop('Hidden', True),))
            nexts = [f for f in doc.getTextFields() if f.supportsService('com.sun.star.text.textfield.DatabaseNextSet')]
            for field in nexts:
                anchor = field.getAnchor()
                text = anchor.getText()
                cursor = text.createTextCursorByRange(anchor.getStart())
                field.dispose()
                mark = doc.createInstance('com.sun.star.text.Fieldmark')
                text.insertTextContent(cursor, mark, False)
                mark.setFieldType('vnd.oasis.opendocument.field.UNHANDLED')
                parameters = mark.getParameters()
                parameters.insertByName('vnd.oasis.opendocument.field.code', ' NEXT ')
                parameters.insertByName('vnd.oasis.opendocument.field.id', '41')
            target = uno.systemPathToFileUrl(os.path.join(here, 'card_%s.doc' % kind))
            doc.storeToURL(target, (prop('FilterName', 'MS Word 97'),))
            doc.close(True)
            print('card_%s.doc: %d Next-record fields' % (kind, len(nexts)))
        desktop.terminate()
    finally:
        try:
            office.wait(timeout=30)
        except subprocess.TimeoutExpired:
            office.kill()
        shutil.rmtree(profile, ignore_errors=True)


main()
