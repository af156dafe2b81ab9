/* Kestrelmoor skin: the look of the connection window when this file lies beside the program as
   x/o.cjs. It is a Qt style sheet; delete or rename it to get the plain window back. The window,
   its frame and its labels take the desktop's button-face colour whenever a skin is present. */

QGroupBox {
    border: 1px solid #9fb3bd;
    border-radius: 6px;
    margin-top: 7px;
}

QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 10px;
    padding: 0 4px;
    color: #24495b;
}

QLabel {
    color: #24495b;
}

QLineEdit {
    border: 1px solid #9fb3bd;
    border-radius: 3px;
    padding: 0 4px;
    selection-background-color: #a3501e;
    selection-color: #ffffff;
}

/* Two pixels, dark against the box and the frame alike; the padding keeps the text where it was. */
QLineEdit:focus {
    border: 2px solid #1c3a4a;
    padding: 0 3px;
}

QPushButton {
    color: #ffffff;
    background-color: #2f5d73;
    border: 1px solid #1c3a4a;
    border-radius: 4px;
}

QPushButton:hover {
    background-color: #3a7089;
}

QPushButton:pressed {
    background-color: #1c3a4a;
}

/* The focused button keeps its border: the program draws its focus ring inside it. */
