Effetti di transizione
Al passo 3 disattivi le transizioni, scelga un effetto preciso oppure lasci che Lumerix scelga gli effetti a caso.
La piccola anteprima mostra subito l’effetto scelto.
