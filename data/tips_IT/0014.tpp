Cinque modi per mostrare la presentazione
Al passo 4 scelga: presentazione per questo PC, CD-ROM ad avvio automatico, salvaschermo, video per lettori DVD o pagina Internet.
