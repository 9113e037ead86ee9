#!/usr/bin/python3
"""LibreOffice as a reference client for the merge tests, through its own UNO API.

  libreoffice.py labels OUT.odt COLUMNS ROWS WIDTH HEIGHT LEFT TOP HPITCH VPITCH QSOS
      a label sheet as File > New > Labels makes it: one frame per label anchored to page 1, database fields,
      a next-record field after every label but the last (and between the QSOs of a label)
  libreoffice.py resave IN.odt OUT.odt      load and store again (frames come out in another order)
  libreoffice.py conditions OUT.odt         conditional text, hidden text and a hidden paragraph on one label
  libreoffice.py merge MAIN.odt DATADIR TABLE OUT.odt
      LibreOffice's own mail merge of MAIN with DATADIR/TABLE.txt (a CSV with a header line, every value
      quoted), registered as the data source "QSLData", into one document

Lengths are in millimetres. Every call starts its own LibreOffice with a throw-away profile.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.text.ControlCharacter import PARAGRAPH_BREAK

DATABASE = "QSLData"


def props(**kw):
    out = []
    for k, v in kw.items():
        p = PropertyValue()
        p.Name, p.Value = k, v
        out.append(p)
    return tuple(out)


class Session:
    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="cardmill-lo-")
        pipe = "cardmill" + str(os.getpid())
        self.proc = subprocess.Popen(
            ["soffice", "--headless", "--norestore", "--nologo", "--nolockcheck",
             "-env:UserInstallation=file://" + self.profile, "--accept=pipe,name=%s;urp;" % pipe],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(300):
            try:
                self.ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(0.1)
        else:
            raise RuntimeError("LibreOffice did not start")
        self.smgr = self.ctx.ServiceManager
        self.desktop = self.smgr.createInstanceWithContext("com.sun.star.frame.Desktop", self.ctx)
        return self

    def __exit__(self, *args):
        try:
            self.desktop.terminate()
        except Exception:
            pass
        try:
            self.proc.wait(timeout=30)
        except Exception:
            self.proc.kill()
        shutil.rmtree(self.profile, ignore_errors=True)

    def new_document(self):
        return self.desktop.loadComponentFromURL("private:factory/swriter", "_blank", 0, props(Hidden=True))

    def load(self, path):
        return self.desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(path)), "_blank", 0,
                                                 props(Hidden=True))


def store(doc, path):
    doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(path)), props(FilterName="writer8"))
    doc.close(True)


def hmm(mm):
    return int(round(float(mm) * 100))


def database_field(doc, table, column):
    master = doc.createInstance("com.sun.star.text.fieldmaster.Database")
    master.DataBaseName = DATABASE
    master.DataTableName = table
    master.DataCommandType = 0
    master.DataColumnName = column
    field = doc.createInstance("com.sun.star.text.textfield.Database")
    field.attachTextFieldMaster(master)
    return field


def next_record(doc, table):
    field = doc.createInstance("com.sun.star.text.textfield.DatabaseNextSet")
    field.DataBaseName = DATABASE
    field.DataTableName = table
    field.DataCommandType = 0
    field.Condition = "TRUE"
    return field


def set_current_database(doc, table):
    settings = doc.createInstance("com.sun.star.text.DocumentSettings")
    settings.CurrentDatabaseDataSource = DATABASE
    settings.CurrentDatabaseCommand = table
    settings.CurrentDatabaseCommandType = 0


def labels(out, columns, rows, width, height, left, top, hpitch, vpitch, qsos):
    columns, rows, qsos = int(columns), int(rows), int(qsos)
    table = "log_%d" % qsos
    with Session() as lo:
        doc = lo.new_document()
        style = doc.StyleFamilies.getByName("PageStyles").getByName("Standard")
        style.Width, style.Height = 21000, 29700
        style.TopMargin = style.BottomMargin = style.LeftMargin = style.RightMargin = 0
        text = doc.Text
        count = columns * rows
        for i in range(count):
            frame = doc.createInstance("com.sun.star.text.TextFrame")
            frame.AnchorType = uno.Enum("com.sun.star.text.TextContentAnchorType", "AT_PAGE")
            frame.AnchorPageNo = 1
            frame.Width, frame.Height = hmm(width), hmm(height)
            frame.SizeType = 1  # FIX: the label's own height
            frame.HoriOrient = 0  # NONE: the position counts
            frame.VertOrient = 0
            frame.HoriOrientRelation = 7  # PAGE_FRAME
            frame.VertOrientRelation = 7
            frame.HoriOrientPosition = hmm(float(left) + (i % columns) * float(hpitch))
            frame.VertOrientPosition = hmm(float(top) + (i // columns) * float(vpitch))
            frame.BorderDistance = 0
            text.insertTextContent(text.getEnd(), frame, False)
            ft = frame.Text
            cursor = ft.createTextCursor()
            ft.insertString(cursor, "To Radio ", False)
            ft.insertTextContent(cursor, database_field(doc, table, "CALL"), False)
            for q in range(qsos):
                ft.insertControlCharacter(cursor, PARAGRAPH_BREAK, False)
                if q > 0:
                    ft.insertTextContent(cursor, next_record(doc, table), False)
                ft.insertTextContent(cursor, database_field(doc, table, "QSO_DATE"), False)
                ft.insertString(cursor, " ", False)  # one blank between two fields
                ft.insertTextContent(cursor, database_field(doc, table, "TIME_ON"), False)
                ft.insertString(cursor, " ", False)
                ft.insertTextContent(cursor, database_field(doc, table, "BAND"), False)
            if i + 1 < count:
                ft.insertTextContent(cursor, next_record(doc, table), False)
        set_current_database(doc, table)
        store(doc, out)


def resave(source, out):
    with Session() as lo:
        store(lo.load(source), out)


def conditions(out):
    table = "log_1"
    with Session() as lo:
        doc = lo.new_document()
        text = doc.Text
        cursor = text.createTextCursor()
        text.insertTextContent(cursor, database_field(doc, table, "CALL"), False)
        text.insertString(cursor, " ", False)
        cond = doc.createInstance("com.sun.star.text.textfield.ConditionalText")
        cond.Condition = "[%s.%s.QSL_RCVD] == \"Y\"" % (DATABASE, table)
        cond.TrueContent = "TNX QSL"
        cond.FalseContent = "PSE QSL"
        text.insertTextContent(cursor, cond, False)
        text.insertControlCharacter(cursor, PARAGRAPH_BREAK, False)
        hidden = doc.createInstance("com.sun.star.text.textfield.HiddenText")
        hidden.Condition = "[%s.%s.QSL_VIA] == \"\"" % (DATABASE, table)
        hidden.Content = "via manager"
        text.insertTextContent(cursor, hidden, False)
        text.insertControlCharacter(cursor, PARAGRAPH_BREAK, False)
        para = doc.createInstance("com.sun.star.text.textfield.HiddenParagraph")
        para.Condition = "[%s.%s.CONTEST_ID] == \"\" or [%s.%s.BAND] EQ \"10M\"" % (DATABASE, table, DATABASE, table)
        text.insertTextContent(cursor, para, False)
        text.insertString(cursor, "Contest: ", False)
        text.insertTextContent(cursor, database_field(doc, table, "CONTEST_ID"), False)
        text.insertControlCharacter(cursor, PARAGRAPH_BREAK, False)
        text.insertString(cursor, "End", False)
        set_current_database(doc, table)
        store(doc, out)


def merge(main, datadir, table, out):
    with Session() as lo:
        ctx = lo.ctx
        dbctx = lo.smgr.createInstanceWithContext("com.sun.star.sdb.DatabaseContext", ctx)
        if dbctx.hasByName(DATABASE):
            dbctx.revokeObject(DATABASE)
        source = dbctx.createInstance()
        source.URL = "sdbc:flat:" + uno.systemPathToFileUrl(os.path.abspath(datadir))
        source.Info = props(Extension="txt", HeaderLine=True, FieldDelimiter=",", StringDelimiter='"',
                            CharSet="UTF-8")
        odb = os.path.join(tempfile.mkdtemp(prefix="cardmill-odb-"), "qsl.odb")
        source.DatabaseDocument.storeAsURL(uno.systemPathToFileUrl(odb), ())
        dbctx.registerObject(DATABASE, source)
        mm = lo.smgr.createInstanceWithContext("com.sun.star.text.MailMerge", ctx)
        mm.DataSourceName = DATABASE
        mm.CommandType = 0
        mm.Command = table
        mm.DocumentURL = uno.systemPathToFileUrl(os.path.abspath(main))
        mm.OutputType = 4  # SHELL: one new document
        mm.SaveAsSingleFile = True
        result = mm.execute(())
        result.storeToURL(uno.systemPathToFileUrl(os.path.abspath(out)), props(FilterName="writer8"))
        result.close(True)
        dbctx.revokeObject(DATABASE)
        shutil.rmtree(os.path.dirname(odb), ignore_errors=True)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    {"labels": labels, "resave": resave, "conditions": conditions, "merge": merge}[command](*args)
