Elaborazione completa
Un clic sull’anteprima apre la grande finestra di elaborazione: ritaglio, nitidezza, sfocatura e oltre 50 filtri di effetti come «Mosaic», «Fisheye» o «Emboss».
Per ritagliare, tracci un riquadro con il mouse e clicchi sul pulsante di ritaglio.
