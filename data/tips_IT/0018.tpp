Il suo salvaschermo personale
Al passo 4 scelga il salvaschermo e spunti le presentazioni desiderate.
Così lo schermo mostra le sue foto più belle a ogni pausa.
